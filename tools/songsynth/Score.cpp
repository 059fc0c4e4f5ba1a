// Parser of the score text format. Line oriented; a '#' after blank space
// starts a comment.
//
//   length MS
//   master key=value ...
//   inst NAME KIND key=value ...
//   pattern NAME STEP TOKEN ...
//   (an indented line continues the statement above it)
//   play TRACK FROM TO PATTERN[+N|-N] ...
//   ramp TRACK|master PARAM FROM TO V0 V1
//
// STEP is in beats (1/4 for sixteenths). Tokens: "." rest, "-" holds the
// previous note one more step, "x" "X" "o" drum hits (normal, accent, ghost),
// a note such as a2, c#3 or eb4 with an optional "!" (accent) or "?" (soft), a
// chord such as a3+c4+e4. A token made only of x X o . - is read one step per
// character ("x...x..."). Numbers may be written as fractions (3/4).
#include "Score.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace songsynth {

namespace {

class Parser {
public:
    Parser(const std::string& where) : where_(where) {}

    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error(where_ + ":" + std::to_string(line_) + ": " + what);
    }

    Score parse(const std::string& text) {
        score_.master.name = "master";
        score_.master.kind = Kind::Master;
        score_.master.params = defaultParams(Kind::Master);
        // Join indented lines to the statement above them; messages name the
        // statement's first line.
        std::istringstream in(text);
        std::string raw;
        std::vector<std::string> words;
        int statementLine = 0, lineNo = 0;
        while (std::getline(in, raw)) {
            ++lineNo;
            std::string s = raw.substr(0, commentStart(raw));
            std::vector<std::string> w = split(s);
            if (w.empty()) continue;
            if (s[0] == ' ' || s[0] == '\t') {
                if (words.empty()) {
                    line_ = lineNo;
                    fail("indented line continues nothing");
                }
                words.insert(words.end(), w.begin(), w.end());
                continue;
            }
            if (!words.empty()) statement(words, statementLine);
            words = w;
            statementLine = lineNo;
        }
        if (!words.empty()) statement(words, statementLine);
        line_ = 0;
        if (score_.lengthMs <= 0) throw std::runtime_error(where_ + ": no length given");
        return score_;
    }

private:
    void statement(const std::vector<std::string>& w, int line) {
        line_ = line;
        const std::string& key = w[0];
        if (key == "length") {
            need(w, 2, "length MS");
            score_.lengthMs = number(w[1]);
            if (score_.lengthMs <= 0) fail("length must be positive");
        } else if (key == "master") {
            setParams(score_.master, w, 1);
        } else if (key == "inst") {
            parseInstrument(w);
        } else if (key == "pattern") {
            parsePattern(w);
        } else if (key == "play") {
            parsePlay(w);
        } else if (key == "ramp") {
            parseRamp(w);
        } else {
            fail("unknown keyword '" + key + "' (expected length, master, inst, pattern, play or ramp)");
        }
    }

    void parsePattern(const std::vector<std::string>& w) {
        need(w, 4, "pattern NAME STEP TOKENS...");
        if (patternIndex_.count(w[1])) fail("pattern '" + w[1] + "' defined twice");
        if (w[1].find_first_of("+-") != std::string::npos) fail("pattern names cannot hold + or -");
        double step = number(w[2]);
        if (step <= 0) fail("pattern step must be positive");
        Pattern p{w[1], 0.0, {}};
        holding_ = false;
        addTokens(p, step, w, 3);
        patternIndex_[w[1]] = int(score_.patterns.size());
        score_.patterns.push_back(p);
    }

    // A '#' starts a comment at the start of a line or after blank space (so
    // sharps like c#3 stay notes).
    static size_t commentStart(const std::string& s) {
        for (size_t i = 0; i < s.size(); ++i)
            if (s[i] == '#' && (i == 0 || s[i - 1] == ' ' || s[i - 1] == '\t')) return i;
        return s.size();
    }

    static std::vector<std::string> split(const std::string& s) {
        std::vector<std::string> w;
        std::istringstream in(s);
        std::string t;
        while (in >> t) w.push_back(t);
        return w;
    }

    void need(const std::vector<std::string>& w, size_t n, const char* form) const {
        if (w.size() < n) fail(std::string("expected '") + form + "'");
    }

    double number(const std::string& t) const {
        size_t slash = t.find('/');
        char* end = nullptr;
        if (slash != std::string::npos) {
            double a = std::strtod(t.substr(0, slash).c_str(), &end);
            if (*end) fail("bad number '" + t + "'");
            double b = std::strtod(t.substr(slash + 1).c_str(), &end);
            if (*end || b == 0) fail("bad number '" + t + "'");
            return a / b;
        }
        double v = std::strtod(t.c_str(), &end);
        if (t.empty() || *end) fail("bad number '" + t + "'");
        return v;
    }

    int trackIndex(const std::string& name) const {
        for (size_t i = 0; i < score_.tracks.size(); ++i)
            if (score_.tracks[i].name == name) return int(i);
        fail("unknown track '" + name + "'");
    }

    ParamId param(const Instrument& inst, const std::string& name) const {
        ParamId id;
        if (!paramFromName(name, id)) fail("unknown parameter '" + name + "'");
        if (!kindHasParam(inst.kind, id))
            fail(std::string("a ") + kindName(inst.kind) + " has no parameter '" + name + "'");
        return id;
    }

    void setParams(Instrument& inst, const std::vector<std::string>& w, size_t from) {
        for (size_t i = from; i < w.size(); ++i) {
            size_t eq = w[i].find('=');
            if (eq == std::string::npos) fail("expected key=value, got '" + w[i] + "'");
            inst.params[param(inst, w[i].substr(0, eq))] = float(number(w[i].substr(eq + 1)));
        }
    }

    void parseInstrument(const std::vector<std::string>& w) {
        need(w, 3, "inst NAME KIND key=value...");
        Instrument inst;
        inst.name = w[1];
        if (inst.name == "master") fail("'master' is the master bus, not a track");
        for (const Instrument& t : score_.tracks)
            if (t.name == inst.name) fail("track '" + inst.name + "' defined twice");
        if (!kindFromName(w[2], inst.kind) || inst.kind == Kind::Master)
            fail("unknown instrument kind '" + w[2] + "' (kick snare clap hat cymbal noise saw fm pump)");
        inst.params = defaultParams(inst.kind);
        setParams(inst, w, 3);
        score_.tracks.push_back(inst);
    }

    // Note name to MIDI number: c4 is 60, a4 is 69.
    bool noteNumber(const std::string& t, int& midi) const {
        static const int base[7] = {9, 11, 0, 2, 4, 5, 7}; // a b c d e f g
        if (t.size() < 2 || t[0] < 'a' || t[0] > 'g') return false;
        int n = base[t[0] - 'a'];
        size_t i = 1;
        if (t[i] == '#') {
            ++n;
            ++i;
        } else if (t[i] == 'b') {
            --n;
            ++i;
        }
        if (i >= t.size()) return false;
        char* end = nullptr;
        long octave = std::strtol(t.c_str() + i, &end, 10);
        if (*end || end == t.c_str() + i) return false;
        midi = n + 12 * int(octave + 1);
        return true;
    }

    void addTokens(Pattern& p, double step, const std::vector<std::string>& w, size_t from) {
        for (size_t i = from; i < w.size(); ++i) {
            const std::string& t = w[i];
            if (t.find_first_not_of("xXo.-") == std::string::npos) {
                for (char c : t) addToken(p, step, std::string(1, c));
            } else {
                addToken(p, step, t);
            }
        }
    }

    void addToken(Pattern& p, double step, std::string t) {
        double at = p.length;
        p.length += step;
        if (t == ".") {
            holding_ = false;
            return;
        }
        if (t == "-") {
            if (!holding_ || p.notes.empty()) fail("'-' holds nothing");
            p.notes.back().length += step;
            return;
        }
        PatternNote n;
        n.beat = at;
        n.length = step;
        if (t == "x" || t == "X" || t == "o") {
            n.velocity = t == "X" ? 1.0f : (t == "o" ? 0.45f : 0.8f);
        } else {
            if (t.back() == '!') {
                n.velocity = 1.0f;
                t.pop_back();
            } else if (t.back() == '?') {
                n.velocity = 0.5f;
                t.pop_back();
            }
            size_t start = 0;
            while (start <= t.size()) {
                size_t plus = t.find('+', start);
                std::string one = t.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
                int midi;
                if (!noteNumber(one, midi))
                    fail("bad step '" + t + "' (expected . - x X o, a note like c#3 or a chord a3+c4)");
                n.pitches.push_back(midi);
                if (plus == std::string::npos) break;
                start = plus + 1;
            }
        }
        p.notes.push_back(n);
        holding_ = true;
    }

    void parsePlay(const std::vector<std::string>& w) {
        need(w, 5, "play TRACK FROM TO PATTERN...");
        Play play;
        play.track = trackIndex(w[1]);
        play.from = number(w[2]);
        play.to = number(w[3]);
        if (play.to <= play.from) fail("play ends before it starts");
        for (size_t i = 4; i < w.size(); ++i) {
            std::string name = w[i];
            PatternRef ref;
            size_t sign = name.find_first_of("+-");
            if (sign != std::string::npos) {
                ref.transpose = int(number(name.substr(sign)));
                name = name.substr(0, sign);
            }
            auto it = patternIndex_.find(name);
            if (it == patternIndex_.end()) fail("unknown pattern '" + name + "'");
            ref.pattern = it->second;
            play.patterns.push_back(ref);
        }
        score_.plays.push_back(play);
    }

    void parseRamp(const std::vector<std::string>& w) {
        need(w, 7, "ramp TRACK PARAM FROM TO V0 V1");
        Ramp r;
        const Instrument* inst = &score_.master;
        if (w[1] != "master") {
            r.track = trackIndex(w[1]);
            inst = &score_.tracks[size_t(r.track)];
        }
        r.param = param(*inst, w[2]);
        if (r.param == P_ARP || r.param == P_ARPOCT || r.param == P_ARPGATE || r.param == P_REPEAT)
            fail("'" + w[2] + "' shapes the notes before they play and cannot be ramped");
        r.from = number(w[3]);
        r.to = number(w[4]);
        if (r.to < r.from) fail("ramp ends before it starts");
        r.v0 = float(number(w[5]));
        r.v1 = float(number(w[6]));
        if (paramIsFrequency(r.param) && (r.v0 <= 0 || r.v1 <= 0)) fail("frequencies must be positive");
        score_.ramps.push_back(r);
    }

    std::string where_;
    int line_ = 0;
    bool holding_ = false;
    Score score_;
    std::map<std::string, int> patternIndex_;
};

} // namespace

Score parseScore(const std::string& text, const std::string& where) { return Parser(where).parse(text); }

Score loadScore(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot open the score");
    std::ostringstream text;
    text << in.rdbuf();
    return parseScore(text.str(), path);
}

} // namespace songsynth
