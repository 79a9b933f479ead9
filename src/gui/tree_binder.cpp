#include "gui/tree_binder.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>

#include "core/ui/preview_buffer.h"
#include "gui/device_picture.h"
#include "gui/language_texts.h"
#include "gui/skin_loader.h"
#include "gui/skin_widgets.h"

namespace korvane::gui {
namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QString cssColour(std::uint32_t argb) {
    return QStringLiteral("rgba(%1,%2,%3,%4)")
        .arg((argb >> 16) & 0xFF)
        .arg((argb >> 8) & 0xFF)
        .arg(argb & 0xFF)
        .arg(((argb >> 24) & 0xFF) / 255.0, 0, 'f', 3);
}

QString cssUrl(const QString& path) {
    QString escaped = path;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QStringLiteral("url(\"%1\")").arg(escaped);
}

// Edits show what the user typed; every other text of the skin is a language key.
bool isEdit(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) != nullptr ||
           qobject_cast<const QTextEdit*>(w) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(w) != nullptr ||
           qobject_cast<const QSpinBox*>(w) != nullptr;
}

}  // namespace

TreeBinder::TreeBinder(ui::ControlTree& tree, QtLanguageHost& language,
                       std::filesystem::path skinFolder, QObject* parent)
    : QObject(parent), tree_(tree), language_(language), skinFolder_(std::move(skinFolder)) {
    tree_.setChangeListener([this](ui::Control& c, ui::Property p) { show(c, p); });
    reloadListener_ = language_.addReloadListener([this] { reloadTexts(); });
}

TreeBinder::~TreeBinder() {
    tree_.setChangeListener({});
    language_.removeReloadListener(reloadListener_);
}

void TreeBinder::bind(QWidget* root, ui::PreviewBuffer* preview) {
    root_ = root;
    preview_ = preview;
    QList<QWidget*> all{root};
    all.append(root->findChildren<QWidget*>());
    for (QWidget* w : all) {
        const std::string name = w->objectName().toStdString();
        ui::Control* control = name.empty() ? nullptr : tree_.find(name);
        if (w == root && tree_.root() != nullptr) {
            control = tree_.root();
        }
        if (control == nullptr) {
            continue;
        }
        widgets_[control].push_back(w);
        controls_[w] = control;
        connectWidget(w, *control);
    }
    for (auto& [control, list] : widgets_) {
        for (const auto& w : list) {
            if (w != nullptr && w != list.front()) {
                // Widgets that share a name (swatches of a picker) keep their own look.
                showOwnStyle(w);
                continue;
            }
            if (w != nullptr) {
                for (const ui::Property p :
                     {ui::Property::Range, ui::Property::Value, ui::Property::Items,
                      ui::Property::CurrentItem, ui::Property::Page, ui::Property::Text,
                      ui::Property::ToolTip, ui::Property::Enabled, ui::Property::Selected,
                      ui::Property::BkColor, ui::Property::TextColor, ui::Property::Colour}) {
                    showOn(w, const_cast<ui::Control&>(*control), p);
                }
                // Widgets start visible; only the skin's hidden ones need telling.
                if (!control->visible()) {
                    showOn(w, const_cast<ui::Control&>(*control), ui::Property::Visible);
                }
            }
        }
    }
}

QWidget* TreeBinder::widget(std::string_view name) const {
    const ui::Control* control = tree_.find(name);
    if (control == nullptr) {
        return nullptr;
    }
    const auto it = widgets_.find(control);
    if (it == widgets_.end()) {
        return nullptr;
    }
    for (const auto& w : it->second) {
        if (w != nullptr) {
            return w;
        }
    }
    return nullptr;
}

void TreeBinder::deliver(std::string_view type, const ui::Control& control, const QString& arg) {
    const std::string name = control.name();
    const std::string text = arg.toStdString();
    tree_.deliver(type, name, text);
    // The logic may have refused or changed the user's input: show what the tree holds.
    if (ui::Control* again = tree_.find(name)) {
        sync(*again);
    }
}

void TreeBinder::connectWidget(QWidget* w, ui::Control& control) {
    ui::Control* c = &control;
    if (auto* picture = qobject_cast<DevicePicture*>(w)) {
        picture->attach(tree_, preview_);
        picture->setTranslate([this](const std::string& key) { return language_.text(key); });
        pictures_.push_back(picture);
        for (int i = 0; i < picture->keyCount(); ++i) {
            if (ui::Control* key = tree_.findIndexed(picture->keyPrefix().toStdString(), i)) {
                keyPlaces_[key] = {picture, i};
            }
        }
        connect(picture, &DevicePicture::keyClicked, this, [this, picture](int index) {
            if (ui::Control* key = tree_.findIndexed(picture->keyPrefix().toStdString(), index)) {
                tree_.deliver(ui::notify::kClick, key->name());
                picture->update();
            }
        });
        return;
    }
    if (auto* palette = qobject_cast<ColourPalette*>(w)) {
        connect(palette, &ColourPalette::colourPicked, this, [this, c](quint32 argb) {
            deliver(ui::notify::kColorChanged, *c, QString::number(argb));
        });
        return;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        connect(button, &QAbstractButton::clicked, this, [this, c, button](bool checked) {
            if (button->isCheckable()) {
                // A click on a selected member of a group keeps it selected.
                const bool wanted = !c->group().empty() ? true : checked;
                tree_.raise(ui::notify::kClick, *c);
                deliver(ui::notify::kSelectChanged, *c, wanted ? "1" : "0");
            } else {
                deliver(ui::notify::kClick, *c);
            }
        });
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(button, &QWidget::customContextMenuRequested, this,
                [this, c] { tree_.raise(ui::notify::kMenu, *c); });
        button->installEventFilter(this);
        return;
    }
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        connect(combo, &QComboBox::activated, this, [this, c](int index) {
            deliver(ui::notify::kItemSelect, *c, QString::number(index));
        });
        return;
    }
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        connect(list, &QListWidget::currentRowChanged, this, [this, c](int row) {
            if (row >= 0) {
                deliver(ui::notify::kItemSelect, *c, QString::number(row));
            }
        });
        connect(list, &QListWidget::itemClicked, this, [this, c, list](QListWidgetItem* item) {
            deliver(ui::notify::kItemClick, *c, QString::number(list->row(item)));
        });
        return;
    }
    if (auto* slider = qobject_cast<QSlider*>(w)) {
        slider->setTracking(true);
        connect(slider, &QSlider::sliderMoved, this, [this, c](int value) {
            deliver(ui::notify::kMoveValueChanged, *c, QString::number(value));
        });
        connect(slider, &QSlider::sliderReleased, this, [this, c, slider] {
            deliver(ui::notify::kValueChanged, *c, QString::number(slider->value()));
        });
        // Keys, wheel and page clicks change the value without a drag.
        connect(slider, &QSlider::actionTriggered, this, [this, c, slider](int action) {
            if (action != QAbstractSlider::SliderMove && !slider->isSliderDown()) {
                QMetaObject::invokeMethod(
                    this,
                    [this, c, slider] {
                        deliver(ui::notify::kValueChanged, *c, QString::number(slider->value()));
                    },
                    Qt::QueuedConnection);
            }
        });
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        connect(edit, &QLineEdit::textEdited, this,
                [this, c](const QString& text) { deliver(ui::notify::kTextChanged, *c, text); });
        return;
    }
    if (auto* spin = qobject_cast<QSpinBox*>(w)) {
        connect(spin, &QSpinBox::valueChanged, this,
                [this, c, spin](int) { deliver(ui::notify::kTextChanged, *c, spin->text()); });
        return;
    }
    if (auto* stack = qobject_cast<QTabWidget*>(w)) {
        connect(stack, &QTabWidget::tabBarClicked, this,
                [this, c](int index) { c->setPage(index); });
    }
}

bool TreeBinder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
        if (const auto it = controls_.find(watched); it != controls_.end()) {
            tree_.raise(
                event->type() == QEvent::Enter ? ui::notify::kMouseEnter : ui::notify::kMouseLeave,
                *it->second);
        }
    }
    return QObject::eventFilter(watched, event);
}

void TreeBinder::show(ui::Control& control, ui::Property property) {
    if (property == ui::Property::Changer || property == ui::Property::Selected) {
        if (keyPlaces_.contains(&control)) {
            pictureKeyChanged(control);
            if (property == ui::Property::Changer) {
                return;
            }
        }
    }
    const auto it = widgets_.find(&control);
    if (it == widgets_.end()) {
        return;
    }
    for (const auto& w : it->second) {
        if (w != nullptr) {
            showOn(w, control, property);
        }
    }
}

void TreeBinder::pictureKeyChanged(ui::Control& key) {
    const KeyPlace place = keyPlaces_.at(&key);
    if (key.changerMode() && preview_ != nullptr) {
        preview_->set(place.picture->previewBase() + place.index, key.changerColor(),
                      key.changerAlpha());
    }
    place.picture->update(place.picture->keyRect(place.index));
}

QWidget* TreeBinder::pageWidget(const QWidget& stack, const ui::Control& layout) const {
    const auto& pages = layout.children();
    const auto index = static_cast<std::size_t>(layout.page());
    if (index >= pages.size()) {
        return nullptr;
    }
    const auto it = widgets_.find(pages[index]);
    if (it == widgets_.end()) {
        return nullptr;
    }
    for (const auto& w : it->second) {
        if (w != nullptr && w->parentWidget() == &stack) {
            return w;
        }
    }
    return nullptr;
}

void TreeBinder::sync(ui::Control& control) {
    for (const ui::Property p :
         {ui::Property::Range, ui::Property::Value, ui::Property::Items, ui::Property::CurrentItem,
          ui::Property::Page, ui::Property::Text, ui::Property::Selected, ui::Property::Colour}) {
        show(control, p);
    }
}

void TreeBinder::reloadTexts() {
    for (auto& [control, list] : widgets_) {
        for (const auto& w : list) {
            if (w != nullptr) {
                auto& c = const_cast<ui::Control&>(*control);
                showOn(w, c, ui::Property::Text);
                showOn(w, c, ui::Property::ToolTip);
                showOn(w, c, ui::Property::Items);
                showOn(w, c, ui::Property::CurrentItem);
            }
        }
    }
}

void TreeBinder::showOn(QWidget* w, ui::Control& c, ui::Property property) {
    const QSignalBlocker block(w);
    switch (property) {
        case ui::Property::Text: {
            const QString text = isEdit(w) ? qs(c.text()) : language_.text(c.text());
            if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                button->setText(text);
            } else if (auto* label = qobject_cast<QLabel*>(w)) {
                label->setText(text);
            } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                if (edit->text() != text) {
                    edit->setText(text);
                }
            } else if (auto* textEdit = qobject_cast<QTextEdit*>(w)) {
                if (textEdit->toPlainText() != text) {
                    textEdit->setPlainText(text);
                }
            } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
                if (plain->toPlainText() != text) {
                    plain->setPlainText(text);
                }
            } else if (auto* spin = qobject_cast<QSpinBox*>(w)) {
                spin->setValue(text.toInt());
            } else if ((w == root_ || w->isWindow()) && !c.text().empty()) {
                w->window()->setWindowTitle(text);
            }
            return;
        }
        case ui::Property::ToolTip:
            w->setToolTip(c.toolTip().empty() ? QString() : language_.text(c.toolTip()));
            return;
        case ui::Property::Visible:
            // The window itself is shown and hidden by the window host.
            // Pages of a stacked widget are shown by its current page.
            if (w != root_ && qobject_cast<QStackedWidget*>(w->parentWidget()) == nullptr) {
                w->setVisible(c.visible());
            }
            return;
        case ui::Property::Enabled:
            w->setEnabled(c.enabled());
            return;
        case ui::Property::Selected:
            if (auto* button = qobject_cast<QAbstractButton*>(w); button && button->isCheckable()) {
                button->setChecked(c.selected());
            }
            return;
        case ui::Property::Value:
        case ui::Property::Range:
            if (auto* slider = qobject_cast<QAbstractSlider*>(w)) {
                slider->setRange(c.minimum(), c.maximum());
                if (!slider->isSliderDown()) {
                    slider->setValue(c.value());
                }
            } else if (auto* progress = qobject_cast<QProgressBar*>(w)) {
                progress->setRange(c.minimum(), c.maximum());
                progress->setValue(c.value());
            }
            return;
        case ui::Property::Items:
            if (auto* combo = qobject_cast<QComboBox*>(w)) {
                combo->clear();
                for (const ui::ListItem& item : c.items()) {
                    combo->addItem(language_.text(item.text));
                    if (!item.toolTip.empty()) {
                        combo->setItemData(combo->count() - 1, language_.text(item.toolTip),
                                           Qt::ToolTipRole);
                    }
                }
                combo->setCurrentIndex(c.currentItem());
            } else if (auto* list = qobject_cast<QListWidget*>(w)) {
                list->clear();
                for (const ui::ListItem& item : c.items()) {
                    auto* entry = new QListWidgetItem(language_.text(item.text), list);
                    if (!item.toolTip.empty()) {
                        entry->setToolTip(language_.text(item.toolTip));
                    }
                }
                list->setCurrentRow(c.currentItem());
            }
            return;
        case ui::Property::CurrentItem:
            if (auto* combo = qobject_cast<QComboBox*>(w)) {
                combo->setCurrentIndex(c.currentItem());
            } else if (auto* list = qobject_cast<QListWidget*>(w)) {
                list->setCurrentRow(c.currentItem());
            }
            return;
        case ui::Property::Page:
            if (auto* stack = qobject_cast<QStackedWidget*>(w)) {
                // The tree's page is a control: show the widget bound to it, whatever place
                // Qt gave it among the pages.
                QWidget* shownPage = pageWidget(*stack, c);
                if (shownPage != nullptr) {
                    stack->setCurrentWidget(shownPage);
                } else {
                    stack->setCurrentIndex(c.page());
                }
            } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
                tabs->setCurrentIndex(c.page());
            }
            return;
        case ui::Property::BkColor:
        case ui::Property::BkImage:
        case ui::Property::TextColor:
            showStyle(w, c);
            return;
        case ui::Property::Colour:
            if (auto* palette = qobject_cast<ColourPalette*>(w)) {
                palette->setColour(c.colour());
            }
            return;
        case ui::Property::Changer:
            w->update();
            return;
    }
}

void TreeBinder::showOwnStyle(QWidget* w) {
    ui::ControlTree scratch;
    ui::Control& own = scratch.create(w->objectName().toStdString(), ui::ControlKind::Container,
                                      "QWidget", nullptr);
    bool ok = false;
    const uint colour = w->property("bkcolor").toString().toUInt(&ok, 0);
    if (ok) {
        own.setBkColor(colour);
    }
    own.setBkImage(w->property("bkimage").toString().toStdString());
    showStyle(w, own);
}

// Background colour and image, text colour: a style of the widget's own, so that a skin's
// style sheet still styles everything else.
void TreeBinder::showStyle(QWidget* w, const ui::Control& c) {
    QStringList rules;
    if (c.bkColor() != 0) {
        rules << QStringLiteral("background-color: %1;").arg(cssColour(c.bkColor()));
    }
    const QString image = skinImagePath(skinFolder_, c.bkImage());
    if (!image.isEmpty()) {
        rules << QStringLiteral("border-image: %1 0 0 0 0 stretch stretch;").arg(cssUrl(image));
    }
    if (c.textColor() != 0) {
        rules << QStringLiteral("color: %1;").arg(cssColour(c.textColor()));
    }
    if (rules.isEmpty()) {
        if (!w->styleSheet().isEmpty() && w->property("korvaneStyled").toBool()) {
            w->setStyleSheet({});
        }
        return;
    }
    if (w->objectName().isEmpty()) {
        return;
    }
    w->setAttribute(Qt::WA_StyledBackground, true);
    w->setProperty("korvaneStyled", true);
    w->setStyleSheet(
        QStringLiteral("#%1 { %2 }").arg(w->objectName(), rules.join(QLatin1Char(' '))));
}

}  // namespace korvane::gui
