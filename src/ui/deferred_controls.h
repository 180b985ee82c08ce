#pragma once
// What the window shows per reply, held back while it is hidden. Most users
// never open the window, so a hidden one keeps only the latest value of each
// control and paints them all when it is shown. Log lines are the exception:
// every line appended meanwhile appears, in order, after a clear that came
// before them. Plain C++, main thread only.
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace velt::ui {

// Writes to the window's controls by id.
class IControlWriter {
public:
    virtual ~IControlWriter() = default;
    virtual void WriteText(int id, const std::string& text) = 0;
    virtual void WriteCheck(int id, bool checked) = 0;
    virtual void WriteEnabled(int id, bool enabled) = 0;
    virtual void WritePosition(int id, int position) = 0;  // a bar's 0..100
    // A memo's lines, added at its end after those it holds.
    virtual void AppendLines(int id, const std::vector<std::string>& lines) = 0;
    virtual void ClearLines(int id) = 0;
};

class DeferredControls final : public IControlWriter {
public:
    // Starts hidden, as the window does.
    explicit DeferredControls(IControlWriter& target) : target_(target) {}

    // Shown: what was held back goes to the controls now, and later writes
    // go at once. Hidden: writes are held until the next show.
    void SetShown(bool shown);
    bool Shown() const { return shown_; }
    // Values and memos waiting for a show.
    std::size_t Held() const { return values_.size() + memos_.size(); }

    void WriteText(int id, const std::string& text) override;
    void WriteCheck(int id, bool checked) override;
    void WriteEnabled(int id, bool enabled) override;
    void WritePosition(int id, int position) override;
    void AppendLines(int id, const std::vector<std::string>& lines) override;
    void ClearLines(int id) override;

private:
    // A control may hold several values at once: a box's caption and check.
    enum class Kind { Text, Check, Enabled, Position };
    struct Value {
        std::string text;
        int number = 0;
    };
    struct Memo {
        bool cleared = false;
        std::vector<std::string> lines;
    };

    void Hold(int id, Kind kind, Value value);
    void Flush();
    void WriteValue(int id, Kind kind, const Value& value);

    IControlWriter& target_;
    bool shown_ = false;
    std::map<std::pair<int, Kind>, Value> values_;
    std::map<int, Memo> memos_;
};

}  // namespace velt::ui
