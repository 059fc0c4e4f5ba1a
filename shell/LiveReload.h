// Live editing: with --watch, the edits finished in the data directory are
// taken at the start of each frame and what they feed is rebuilt while the
// programme plays. A shader text rebuilds every shader made from it, an image
// is uploaded again into its texture (and a cube-map face rebuilds its cube
// map); anything else is said to wait for the next run. A rebuild that fails
// keeps what was there and says why. Every outcome is logged and kept in a
// ReloadReport, which interactive runs show on screen.
#pragma once

#include <string>
#include <vector>

enum class ReloadKind { ShaderText, Image, Other };

// What an edit of the member `name` can rebuild while playing.
ReloadKind reloadKind(const std::string& name);

// The outcomes of reloads, for the screen: recent messages for a few
// seconds, and per subject (a shader, an image) its error until a later
// reload of that subject succeeds.
class ReloadReport {
public:
    static constexpr float kShownSeconds = 4.0f;

    struct Message {
        std::string text;
        bool error = false;
        float secondsLeft = kShownSeconds;
    };

    // An outcome about `subject`; an error stays open until `subject`
    // reloads without one.
    void add(const std::string& subject, const std::string& text, bool error);
    // Ages the shown messages by `seconds` and drops those run out.
    void age(float seconds);
    const std::vector<Message>& messages() const { return messages_; }
    // The latest error whose subject has not been fixed since; empty if none.
    std::string openError() const;

private:
    std::vector<Message> messages_;
    std::vector<std::pair<std::string, std::string>> open_; // subject, error; oldest first
};

// Takes the edits finished since the last call (stmPollDataChanges) and
// rebuilds what each feeds, adding every outcome to `report`.
void applyDataChanges(ReloadReport& report);
