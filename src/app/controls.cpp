#include "app/controls.h"

namespace quillon {

Control::Control(ControlObserver& observer, Kind kind, std::string name, std::string caption,
                 std::string toolTip)
    : observer_(observer), kind_(kind), name_(std::move(name)), caption_(std::move(caption)),
      toolTip_(std::move(toolTip)) {}

void Control::SetEnabled(bool enabled) {
    if (enabled_ != enabled) {
        enabled_ = enabled;
        Changed();
    }
}

void Control::SetVisible(bool visible) {
    if (visible_ != visible) {
        visible_ = visible;
        Changed();
    }
}

void Button::SetDefault(bool isDefault) {
    if (default_ != isDefault) {
        default_ = isDefault;
        Changed();
    }
}

TextBox::TextBox(ControlObserver& observer, std::string name, std::string text, std::string toolTip)
    : Control(observer, Kind::TextBox, std::move(name), {}, std::move(toolTip)),
      text_(std::move(text)) {}

void TextBox::SetText(std::string text) {
    if (text_ == text) {
        return;
    }
    text_ = std::move(text);
    Changed();
    if (onChange_) {
        onChange_();
    }
}

void CheckBox::SetValue(int value) {
    if (value_ == value) {
        return;
    }
    value_ = value;
    Changed();
    if (onClick_) {
        onClick_();
    }
}

void TabStrip::Select(int index) {
    if (selected_ != index) {
        selected_ = index;
        Changed();
    }
}

} // namespace quillon
