// The state of the window's controls, as data that the faces draw: names, captions and tooltips
// (ANSI), texts, check box values, enabled and visible flags. Every change is announced to the
// observer, so that a face redraws what changed whoever changed it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quillon {

class Control;

class ControlObserver {
  public:
    virtual ~ControlObserver() = default;
    virtual void ControlChanged(const Control& control) = 0;
};

class Control {
  public:
    enum class Kind { Button, CheckBox, TextBox, Label, Frame, TabStrip };

    Control(ControlObserver& observer, Kind kind, std::string name, std::string caption = {},
            std::string toolTip = {});
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    Kind ControlKind() const { return kind_; }
    const std::string& Name() const { return name_; }
    const std::string& Caption() const { return caption_; }
    const std::string& ToolTip() const { return toolTip_; }
    bool Enabled() const { return enabled_; }
    bool Visible() const { return visible_; }
    void SetEnabled(bool enabled);
    void SetVisible(bool visible);

  protected:
    void Changed() { observer_.ControlChanged(*this); }
    void SetCaption(std::string caption) { caption_ = std::move(caption); }

  private:
    ControlObserver& observer_;
    Kind kind_;
    std::string name_;
    std::string caption_;
    std::string toolTip_;
    bool enabled_ = true;
    bool visible_ = true;
};

class Button : public Control {
  public:
    Button(ControlObserver& observer, std::string name, std::string caption,
           std::string toolTip = {})
        : Control(observer, Kind::Button, std::move(name), std::move(caption), std::move(toolTip)) {
    }

    // The default button of the window answers the Enter key.
    bool IsDefault() const { return default_; }
    void SetDefault(bool isDefault);

  private:
    bool default_ = false;
};

class Label : public Control {
  public:
    Label(ControlObserver& observer, std::string name, std::string caption,
          std::string toolTip = {})
        : Control(observer, Kind::Label, std::move(name), std::move(caption), std::move(toolTip)) {}
};

class Frame : public Control {
  public:
    Frame(ControlObserver& observer, std::string name, std::string caption)
        : Control(observer, Kind::Frame, std::move(name), std::move(caption)) {}
};

// A single-line text box. Its change handler, when it has one, runs on every change of the
// text, by the user or by the program.
class TextBox : public Control {
  public:
    TextBox(ControlObserver& observer, std::string name, std::string text,
            std::string toolTip = {});

    const std::string& Text() const { return text_; }
    void SetText(std::string text);
    // The short label that the windows draw beside the box: its caption.
    void SetLegend(std::string legend) { SetCaption(std::move(legend)); }
    void OnChange(std::function<void()> handler) { onChange_ = std::move(handler); }

  private:
    std::string text_;
    std::function<void()> onChange_;
};

// A check box holds 0 or 1. Setting a new value, by the user's click or by the program, runs
// its click handler, as the original toolkit did: the option rules rely on it.
class CheckBox : public Control {
  public:
    CheckBox(ControlObserver& observer, std::string name, std::string caption,
             std::string toolTip = {})
        : Control(observer, Kind::CheckBox, std::move(name), std::move(caption),
                  std::move(toolTip)) {}

    int Value() const { return value_; }
    void SetValue(int value);
    void OnClick(std::function<void()> handler) { onClick_ = std::move(handler); }

  private:
    int value_ = 0;
    std::function<void()> onClick_;
};

// The tab strip: tabs with their captions and tooltips, and the selected index (from 1).
class TabStrip : public Control {
  public:
    struct Tab {
        std::string Caption;
        std::string ToolTip;
    };

    TabStrip(ControlObserver& observer, std::string name, std::vector<Tab> tabs)
        : Control(observer, Kind::TabStrip, std::move(name)), tabs_(std::move(tabs)) {}

    const std::vector<Tab>& Tabs() const { return tabs_; }
    int SelectedIndex() const { return selected_; }
    void Select(int index);

  private:
    std::vector<Tab> tabs_;
    int selected_ = 1;
};

} // namespace quillon
