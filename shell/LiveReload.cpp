// Rebuilding shaders, textures and cube maps from edits made while playing.
#include "shell/LiveReload.h"

#include "engine/stagemill.h"
#include "render/Cubemap.h"
#include "render/ShaderManager.h"

#include <algorithm>
#include <cctype>

namespace {

bool endsWith(const std::string& name, const char* suffix) {
    const std::string s = suffix;
    if (name.size() < s.size()) return false;
    return std::equal(s.rbegin(), s.rend(), name.rbegin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

// The first line of a driver's message, which names the place and the fault.
std::string firstLine(const std::string& text) {
    const size_t end = text.find('\n');
    return end == std::string::npos ? text : text.substr(0, end);
}

// The shaders made from the edited texts, each rebuilt once.
void rebuildShaders(const std::vector<std::string>& files, ReloadReport& report) {
    if (!g_shaderManager || files.empty()) return;
    std::string named;
    for (const std::string& file : files) named += (named.empty() ? "" : ", ") + file;
    const std::vector<ShaderRebuild> results = g_shaderManager->rebuildFromTexts(files);
    if (results.empty()) {
        stmMsg("zephran: %s changed; no shader is made from it\n", named.c_str());
        report.add(named, named + ": no shader is made from it", false);
    }
    for (const ShaderRebuild& r : results) {
        const std::string subject = "shader " + r.shader;
        if (r.ok) {
            stmMsg("zephran: shader \"%s\" rebuilt from the edited %s\n", r.shader.c_str(), named.c_str());
            report.add(subject, "shader " + r.shader + " rebuilt", false);
        } else {
            stmMsg("zephran: shader \"%s\" did not build from the edited %s; %s: %s\n", r.shader.c_str(), named.c_str(),
                   r.kept ? "the previous program stays in use" : "it is left out", r.error.c_str());
            report.add(subject, "shader " + r.shader + " failed: " + firstLine(r.error), true);
        }
    }
}

void reloadImage(const std::string& file, ReloadReport& report) {
    if (!stmReloadTexture(file.c_str())) {
        stmMsg("zephran: %s not reloaded: %s\n", file.c_str(), stmReloadError());
        report.add(file, file + " not reloaded: " + stmReloadError(), true);
        return;
    }
    std::string problem;
    const int cubes = rebuildStaticCubemaps(stmGetTexture(file.c_str()), problem);
    if (!problem.empty()) {
        stmMsg("zephran: %s reloaded, but %s\n", file.c_str(), problem.c_str());
        report.add(file, file + ": " + problem, true);
        return;
    }
    stmMsg("zephran: %s reloaded%s\n", file.c_str(), cubes > 0 ? " with its cube map" : "");
    report.add(file, file + (cubes > 0 ? " reloaded with its cube map" : " reloaded"), false);
}

} // namespace

ReloadKind reloadKind(const std::string& name) {
    if (endsWith(name, ".glsl")) return ReloadKind::ShaderText;
    for (const char* ext : {".png", ".jpg", ".jpeg", ".bmp", ".tga"})
        if (endsWith(name, ext)) return ReloadKind::Image;
    return ReloadKind::Other;
}

void ReloadReport::add(const std::string& subject, const std::string& text, bool error) {
    Message m;
    m.text = text;
    m.error = error;
    messages_.push_back(m);
    const size_t kMostShown = 6;
    if (messages_.size() > kMostShown) messages_.erase(messages_.begin(), messages_.end() - kMostShown);
    open_.erase(std::remove_if(open_.begin(), open_.end(), [&](const auto& e) { return e.first == subject; }),
                open_.end());
    if (error) open_.emplace_back(subject, text);
}

void ReloadReport::age(float seconds) {
    for (Message& m : messages_) m.secondsLeft -= seconds;
    messages_.erase(
        std::remove_if(messages_.begin(), messages_.end(), [](const Message& m) { return m.secondsLeft <= 0.0f; }),
        messages_.end());
}

std::string ReloadReport::openError() const { return open_.empty() ? std::string() : open_.back().second; }

void applyDataChanges(ReloadReport& report) {
    const int changed = stmPollDataChanges();
    std::vector<std::string> shaderTexts;
    for (int i = 0; i < changed; ++i) {
        const std::string file = stmGetChangedFileName(i);
        switch (reloadKind(file)) {
        case ReloadKind::ShaderText: shaderTexts.push_back(file); break;
        case ReloadKind::Image: reloadImage(file, report); break;
        case ReloadKind::Other:
            stmMsg("zephran: %s changed: not reloaded while playing (read at the next start)\n", file.c_str());
            report.add(file, file + " changed: not reloaded while playing", false);
            break;
        }
    }
    rebuildShaders(shaderTexts, report);
}
