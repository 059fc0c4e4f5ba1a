// Parameter names, the parameters each instrument kind accepts and their defaults.
#include "Params.h"

#include <cstring>
#include <vector>
#include <utility>

namespace songsynth {

namespace {

const char* const kParamNames[P_COUNT] = {
    "gain",    "level",   "pan",       "delay", "reverb", "duck",    "lpf",    "hpf",    "lfo",     "lfodepth",
    "pitch",   "punch",   "pdecay",    "click", "drive",  "tone",    "snappy", "metal",  "attack",  "decay",
    "sustain", "release", "cutoff",    "reso",  "envmod", "fdecay",  "voices", "detune", "width",   "sub",
    "glide",   "vibrato", "transpose", "ratio", "index",  "idecay",  "arp",    "arpoct", "arpgate", "repeat",
    "dtime",   "dfeed",   "dtone",     "room",  "damp",   "ceiling",
};

const char* const kKindNames[] = {"kick", "snare", "clap", "hat", "cymbal", "noise", "saw", "fm", "pump", "master"};

using Defaults = std::vector<std::pair<ParamId, float>>;

Defaults kindDefaults(Kind kind) {
    switch (kind) {
    case Kind::Kick:
        return {{P_PITCH, 46}, {P_PUNCH, 180}, {P_PDECAY, 0.032f}, {P_DECAY, 0.24f}, {P_CLICK, 0.5f}, {P_DRIVE, 1.8f}};
    case Kind::Snare: return {{P_TONE, 190}, {P_DECAY, 0.16f}, {P_SNAPPY, 0.7f}, {P_CUTOFF, 1800}};
    case Kind::Clap: return {{P_CUTOFF, 1250}, {P_RESO, 0.35f}, {P_DECAY, 0.16f}};
    case Kind::Hat: return {{P_DECAY, 0.045f}, {P_CUTOFF, 7500}, {P_METAL, 0.5f}};
    case Kind::Cymbal: return {{P_DECAY, 1.6f}, {P_CUTOFF, 4500}, {P_METAL, 0.35f}, {P_WIDTH, 1.0f}};
    case Kind::Noise: return {{P_ATTACK, 0.01f}, {P_RELEASE, 0.3f}, {P_CUTOFF, 2000}, {P_RESO, 0.4f}, {P_WIDTH, 1.0f}};
    case Kind::Saw:
        return {{P_VOICES, 1},    {P_DETUNE, 0.12f}, {P_WIDTH, 0.8f},    {P_SUB, 0},        {P_ATTACK, 0.003f},
                {P_DECAY, 0.3f},  {P_SUSTAIN, 0.8f}, {P_RELEASE, 0.08f}, {P_CUTOFF, 2000},  {P_RESO, 0.2f},
                {P_ENVMOD, 0},    {P_FDECAY, 0.2f},  {P_DRIVE, 0},       {P_GLIDE, 0},      {P_VIBRATO, 0},
                {P_TRANSPOSE, 0}, {P_ARP, 0},        {P_ARPOCT, 1},      {P_ARPGATE, 0.7f}, {P_REPEAT, 0}};
    case Kind::Fm:
        return {{P_RATIO, 3.5f}, {P_INDEX, 2.5f},   {P_IDECAY, 0.5f},  {P_ATTACK, 0.002f}, {P_DECAY, 1.2f},
                {P_SUSTAIN, 0},  {P_RELEASE, 0.6f}, {P_DETUNE, 0.08f}, {P_WIDTH, 0.6f},    {P_TRANSPOSE, 0},
                {P_ARP, 0},      {P_ARPOCT, 1},     {P_ARPGATE, 0.7f}, {P_REPEAT, 0}};
    case Kind::Pump: return {};
    case Kind::Master:
        return {{P_LEVEL, 1},    {P_DRIVE, 0},   {P_DTIME, 0.75f},   {P_DFEED, 0.4f}, {P_DTONE, 3500},
                {P_ROOM, 0.86f}, {P_DAMP, 0.4f}, {P_CEILING, -1.5f}, {P_WIDTH, 1.0f}};
    }
    return {};
}

bool isMixerParam(ParamId id) { return id <= P_LFODEPTH; }

} // namespace

bool kindFromName(const std::string& name, Kind& kind) {
    for (size_t i = 0; i < sizeof(kKindNames) / sizeof(kKindNames[0]); ++i)
        if (name == kKindNames[i]) {
            kind = Kind(i);
            return true;
        }
    return false;
}

const char* kindName(Kind kind) { return kKindNames[int(kind)]; }

bool paramFromName(const std::string& name, ParamId& id) {
    for (int i = 0; i < P_COUNT; ++i)
        if (name == kParamNames[i]) {
            id = ParamId(i);
            return true;
        }
    return false;
}

const char* paramName(ParamId id) { return kParamNames[id]; }

bool kindHasParam(Kind kind, ParamId id) {
    if (kind == Kind::Master) {
        if (id == P_LEVEL) return true;
    } else if (isMixerParam(id)) {
        return true;
    }
    for (const auto& d : kindDefaults(kind))
        if (d.first == id) return true;
    return false;
}

ParamSet defaultParams(Kind kind) {
    ParamSet p;
    for (float& x : p.v) x = 0.0f;
    p[P_LEVEL] = 1.0f;
    p[P_LPF] = 20000.0f;
    p[P_HPF] = 10.0f;
    for (const auto& d : kindDefaults(kind)) p[d.first] = d.second;
    return p;
}

bool paramIsFrequency(ParamId id) {
    return id == P_LPF || id == P_HPF || id == P_CUTOFF || id == P_PITCH || id == P_PUNCH || id == P_TONE ||
           id == P_DTONE;
}

} // namespace songsynth
