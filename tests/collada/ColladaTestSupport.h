// Shared fixture for the loader and scene tests: headless message boxes, an
// exit handler that throws so refusals can be observed, the log captured,
// and documents loaded from texts held by the test.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "collada/Collada.h"
#include "engine/stagemill.h"

// Thrown by the test exit handler in place of ending the process.
struct ProgramExit {
    int code;
};

class ColladaTest : public ::testing::Test {
protected:
    void SetUp() override {
        StmRunOptions options;
        options.headless = true;
        stmConfigure(options);
        stmSetExitHandler([](int code) { throw ProgramExit{code}; });
        ::testing::internal::CaptureStderr();
        capturing_ = true;
    }
    void TearDown() override {
        if (capturing_) ::testing::internal::GetCapturedStderr();
        stmSetExitHandler(nullptr);
        delete document;
    }

    // Everything logged (and every message box) since SetUp or the last call.
    std::string log() {
        std::string text = ::testing::internal::GetCapturedStderr();
        ::testing::internal::CaptureStderr();
        return text;
    }

    // Loads a COLLADA text; the body goes inside a <COLLADA> root.
    Collada::Document* load(const std::string& body, const std::string& name = "test.dae") {
        text_ = "<?xml version=\"1.0\"?>\n<COLLADA version=\"1.4.1\">" + body + "</COLLADA>";
        delete document;
        document = nullptr;
        document = loadColladaText(name, text_.c_str());
        return document;
    }

    // The exit code of a refused load (fails the test when it was not refused).
    int refusedStatus(const std::string& body) {
        try {
            load(body);
        } catch (const ProgramExit& exit) {
            return exit.code;
        }
        ADD_FAILURE() << "the document was not refused";
        return 0;
    }

    Collada::Document* document = nullptr;

private:
    std::string text_;
    bool capturing_ = false;
};

// A mesh with one position source of `positions` (stride 3) and the given
// primitive elements, as a <library_geometries> body.
inline std::string geometry(const std::string& id, const std::string& positions, const std::string& primitives,
                            const std::string& extraSources = "") {
    return "<library_geometries><geometry id=\"" + id +
           "\"><mesh>"
           "<source id=\"" +
           id + "-pos\"><float_array>" + positions +
           "</float_array>"
           "<technique_common><accessor count=\"1\" stride=\"3\"/></technique_common></source>" +
           extraSources + "<vertices id=\"" + id + "-v\"><input semantic=\"POSITION\" source=\"#" + id +
           "-pos\"/></vertices>" + primitives + "</mesh></geometry></library_geometries>";
}
