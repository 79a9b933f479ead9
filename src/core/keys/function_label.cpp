#include "core/keys/function_label.h"

#include "core/keys/choice_lists.h"
#include "core/keys/key_code_table.h"

namespace korvane::keys {
namespace {

KeyLabel textId(std::string_view id) {
    return {KeyLabel::Kind::TextId, std::string(id)};
}

std::optional<KeyLabel> choiceLabel(std::span<const KeyChoice> choices, const KeyFunction& f) {
    if (const auto i = findChoice(choices, f)) {
        return textId(choices[*i].textId);
    }
    return std::nullopt;
}

std::optional<KeyLabel> firstChoiceWithP1(std::span<const KeyChoice> choices, std::uint8_t p1) {
    for (const auto& c : choices) {
        if (c.function.p1 == p1) {
            return textId(c.textId);
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<KeyLabel> FunctionLabel(KeyClass keyClass, const KeyFunction& record,
                                      std::span<const std::string> macroNames) {
    namespace T = KeyFunctionType;
    switch (record.type) {
        case T::kFactoryDefault:
        case T::kKeyboardKey:
            if (const auto row = FindKeyCodeRowByParameters(record.p1, record.p2)) {
                return textId(kKeyCodeTable[*row].textId);
            }
            return std::nullopt;
        case T::kMouseButton:
            return firstChoiceWithP1(kButtonChoices, record.p1);
        case T::kHorizontalScroll:
            return textId((record.p2 & 0x80) != 0 ? "mouse_key_right_Swing"
                                                  : "mouse_key_left_Swing");
        case T::kVerticalScroll:
            return textId((record.p2 & 0x80) != 0 ? "mouse_key_down_Swing" : "mouse_key_up_Swing");
        case T::kDpiControl:
            return firstChoiceWithP1(kDpiChoices, record.p1);
        case T::kFireKey:
            return textId("mouse_key_fire_key");
        case T::kConsumerKeyAlt:
        case T::kConsumerKey:
            return choiceLabel(kConsumerChoices, record);
        case T::kSystemKey:
            return firstChoiceWithP1(kSystemChoices, record.p1);
        case T::kMacroRun:
        case T::kMacroRepeat:
            if (record.p1 < macroNames.size()) {
                return KeyLabel{KeyLabel::Kind::Verbatim, macroNames[record.p1]};
            }
            return std::nullopt;
        case T::kGunSequence:
            if (keyClass == KeyClass::Mouse) {
                if (record.p1 < kGunChoices.size()) {
                    return textId(kGunChoices[record.p1].textId);
                }
                return std::nullopt;
            }
            break;
        case 0x15:
        case 0x50:
        case 0x60:
        case T::kFnKey:
        case 0xB0:
        case 0xC0:
            return std::nullopt;
        default:
            break;
    }
    return textId(kOffLabel);
}

std::string labelText(const KeyLabel& label, const TranslateText& translate) {
    return label.kind == KeyLabel::Kind::TextId ? translate(label.text) : label.text;
}

std::optional<std::string> KeyboardKeyToolTip(const KeyFunction& defaultRecord,
                                              const KeyFunction& current,
                                              std::span<const std::string> macroNames,
                                              const TranslateText& translate) {
    const auto currentLabel = FunctionLabel(KeyClass::Keyboard, current, macroNames);
    if (!currentLabel) {
        return std::nullopt;
    }
    std::string defaultText;
    std::optional<std::string_view> defaultId;
    if (const auto row = FindKeyCodeRowByParameters(defaultRecord.p1, defaultRecord.p2)) {
        defaultId = kKeyCodeTable[*row].textId;
        defaultText = translate(*defaultId);
    }
    if (defaultId && currentLabel->kind == KeyLabel::Kind::TextId &&
        currentLabel->text == *defaultId) {
        return defaultText;
    }
    return defaultText + translate("Key_Set") + labelText(*currentLabel, translate);
}

}  // namespace korvane::keys
