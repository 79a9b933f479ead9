#pragma once

#include <algorithm>
#include <string>

#include "core/platform/text.h"
#include "core/ui/control.h"

namespace korvane::macros {

// The number in an edit box of the macro and cursor pages: decimal, non-numbers and negative
// values read as 0.
inline long EditNumber(const ui::Control& edit) {
    return std::max(0L, platform::parseLong(edit.text()));
}

// A value above the box's bound is replaced in the box by the bound; returns what it holds.
inline long BoundedEdit(ui::Control& edit, long bound) {
    long value = EditNumber(edit);
    if (value > bound) {
        value = bound;
        edit.setText(std::to_string(bound));
    }
    return value;
}

}  // namespace korvane::macros
