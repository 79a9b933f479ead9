#include "gui/geometry_report.h"

#include <QEvent>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "core/ui/control_tree.h"
#include "gui/tree_binder.h"

namespace korvane::gui {
namespace {

constexpr const char* kVariable = "KORVANE_DEBUG_GEOMETRY";
// Showing a page hides another and may move the window: one block after the burst.
constexpr int kSettleMs = 20;

}  // namespace

GeometryReport::GeometryReport(const ui::ControlTree& tree, const TreeBinder& binder,
                               QWidget& window, QObject* parent)
    : QObject(parent) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &GeometryReport::write);
    watch("window", &window);
    std::set<std::string> seen;
    const auto add = [&](const ui::Control& control) {
        if (seen.insert(control.name()).second) {
            watch(control.name(), binder.widget(control.name()));
        }
    };
    tree.forEach([&](const ui::Control& control) {
        if (control.attributes().contains("tabLayout")) {
            add(control);
        }
        if (control.kind() == ui::ControlKind::TabLayout) {
            for (const ui::Control* page : control.children()) {
                add(*page);
            }
        }
    });
}

bool GeometryReport::requested() {
    const char* value = std::getenv(kVariable);
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

void GeometryReport::watch(const std::string& name, QWidget* widget) {
    if (widget == nullptr || name.empty()) {
        return;
    }
    watched_.push_back({name, widget});
    widget->installEventFilter(this);
}

bool GeometryReport::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::Move:
        case QEvent::Resize:
            settle_.start();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

std::string GeometryReport::snapshot() const {
    std::string block;
    for (const Watched& w : watched_) {
        if (w.widget == nullptr || !w.widget->isVisible()) {
            continue;
        }
        const QPoint at = w.widget->mapToGlobal(QPoint(0, 0));
        block += "geometry " + w.name + ' ' + std::to_string(at.x()) + ' ' +
                 std::to_string(at.y()) + ' ' + std::to_string(w.widget->width()) + ' ' +
                 std::to_string(w.widget->height()) + '\n';
    }
    return block;
}

void GeometryReport::write() {
    ++sequence_;
    const std::string seq = std::to_string(sequence_);
    const std::string block =
        "geometry begin " + seq + '\n' + snapshot() + "geometry end " + seq + '\n';
    // One write, so that other threads' lines never cut into a block.
    std::fwrite(block.data(), 1, block.size(), stderr);
    std::fflush(stderr);
}

}  // namespace korvane::gui
