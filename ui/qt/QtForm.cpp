#include "ui/qt/QtForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <algorithm>

#include "app/AccessKeys.h"
#include "app/LabelCaptions.h"
#include "app/TabOrder.h"
#include "ui/qt/Captions.h"
#include "ui/qt/CommandButton.h"
#include "ui/qt/ReadOnlyTextBox.h"
#include "ui/qt/SpreadLabel.h"

namespace pw::qt {
namespace {

Qt::Alignment HorizontalAlignment(Alignment alignment) {
    switch (alignment) {
        case Alignment::Center: return Qt::AlignHCenter;
        case Alignment::Right: return Qt::AlignRight;
        case Alignment::Left: break;
    }
    return Qt::AlignLeft;
}

// How long a window manager may take to frame the window (milliseconds).
constexpr int kFrameWait = 2000;

QMessageBox::Icon IconOfStyle(int style) {
    switch (style & 0x70) {
        case 0x10: return QMessageBox::Critical;
        case 0x20: return QMessageBox::Question;
        case 0x30: return QMessageBox::Warning;
        case 0x40: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

// Makes a font the application's for the life of the object. A new line edit
// lays out its empty text in the application's font before it takes its own,
// which would load a font that no control draws with; while the controls are
// built the window's font stands in. (QApplication::setFont would also drop the
// fonts the desktop gives message boxes and other classes.)
class ApplicationFontDuring {
public:
    explicit ApplicationFontDuring(const QFont& font) : saved_(QGuiApplication::font()) {
        QGuiApplication::setFont(font);
    }
    ~ApplicationFontDuring() { QGuiApplication::setFont(saved_); }
    ApplicationFontDuring(const ApplicationFontDuring&) = delete;
    ApplicationFontDuring& operator=(const ApplicationFontDuring&) = delete;

private:
    const QFont saved_;
};

}  // namespace

QtForm::QtForm(const LayoutScale& scale) : QWidget(nullptr), scale_(scale) {
    // A fixed single border: close box and system menu, no minimize or maximize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(ToQString(kFormSpec.caption));
    setFixedSize(scale_.Size(kFormSpec.clientWidth, kFormSpec.clientHeight));
    setFont(scale_.Font(kFormSpec.font));

    {
        const ApplicationFontDuring windowFont(font());
        for (const ControlSpec& design : kControls) {
            widgets_[static_cast<std::size_t>(design.id)] = CreateControl(design);
        }
    }
    // Buttons and boxes are drawn above labels wherever they overlap.
    for (const ControlSpec& design : kControls) {
        if (design.kind == ControlKind::Label) Widget(design.id)->lower();
    }
    HideCoveredLabels();
    SetUpTabOrder();
}

QWidget* QtForm::CreateControl(const ControlSpec& design) {
    QWidget* widget = nullptr;
    switch (design.kind) {
        case ControlKind::CommandButton: widget = CreateButton(design); break;
        case ControlKind::TextBox: widget = CreateTextBox(design); break;
        case ControlKind::Label: widget = CreateLabel(design); break;
        case ControlKind::Line: return nullptr;
    }
    widget->setObjectName(QString::fromLatin1(design.name));
    widget->setGeometry(scale_.Rect(design));
    widget->setFont(scale_.Font(design.font));
    return widget;
}

QWidget* QtForm::CreateButton(const ControlSpec& design) {
    auto* button = new CommandButton(ToQString(design.caption), this);
    const ControlId id = design.id;
    connect(button, &QPushButton::clicked, this, [this, id] { RaiseClick(id); });
    connect(button, &CommandButton::accessKeyUsed, this, [this, id] { UseButtonAccessKey(id); });
    for (const ButtonAccessKey& access : ButtonAccessKeys()) {
        if (access.button != id || access.first) continue;
        auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key(access.key)), this);
        connect(shortcut, &QShortcut::activated, this, [this, id] { UseButtonAccessKey(id); });
    }
    return button;
}

QWidget* QtForm::CreateTextBox(const ControlSpec& design) {
    const ControlId id = design.id;
    // The table's multi-line boxes are the two read-only value boxes.
    if (design.flags & kMultiLine) {
        auto* box = new ReadOnlyTextBox(this);
        box->setPlainText(ToQString(design.caption));
        return box;
    }
    auto* box = new QLineEdit(ToQString(design.caption), this);
    if (design.maxLength > 0) box->setMaxLength(design.maxLength);
    box->setAlignment(HorizontalAlignment(design.alignment) | Qt::AlignVCenter);
    box->setReadOnly(design.flags & kReadOnly);
    if (design.flags & kHasChange) {
        connect(box, &QLineEdit::textChanged, this, [this, id] { RaiseChange(id); });
    }
    return box;
}

QWidget* QtForm::CreateLabel(const ControlSpec& design) {
    const QString caption = ToQString(LabelCaption(design.caption));
    QLabel* label = SpreadLabel::Spreads(caption) ? new SpreadLabel(this) : new QLabel(this);
    label->setTextFormat(Qt::PlainText);
    label->setText(caption);
    label->setAlignment(HorizontalAlignment(design.alignment) | Qt::AlignTop);
    label->setWordWrap(false);
    label->setFocusPolicy(Qt::NoFocus);
    label->setAutoFillBackground(false);
    if (design.flags & kHasColor) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText,
                         QColor(design.color.red, design.color.green, design.color.blue));
        label->setPalette(palette);
    }
    return label;
}

void QtForm::HideCoveredLabels() {
    QRegion boxes;
    for (const ControlSpec& design : kControls) {
        if (TakesFocus(design)) boxes += Widget(design.id)->geometry();
    }
    // A label covered but for a sliver would show only the tops of its
    // letters there; it shows nothing instead.
    for (const ControlSpec& design : kControls) {
        if (design.kind != ControlKind::Label) continue;
        QWidget* label = Widget(design.id);
        const QRegion uncovered = QRegion(label->geometry()) - boxes;
        if (uncovered.boundingRect().height() < label->fontMetrics().height() / 2) label->hide();
    }
}

void QtForm::SetUpTabOrder() {
    for (ControlId id : pw::TabStops()) tabStops_.push_back(Widget(id));
    for (std::size_t i = 1; i < tabStops_.size(); ++i) setTabOrder(tabStops_[i - 1], tabStops_[i]);
}

void QtForm::UseButtonAccessKey(ControlId button) {
    UseAccessKey(
        button, [this](ControlId id) { Widget(id)->setFocus(Qt::ShortcutFocusReason); },
        [this](ControlId id) { static_cast<CommandButton*>(Widget(id))->animateClick(); });
}

void QtForm::ShowCentred() {
    Widget(FirstFocus())->setFocus(Qt::OtherFocusReason);
    // The window manager frames the window once it is shown: centred by its
    // client area until then, by its frame as soon as the frame is known. A
    // window manager that frames nothing leaves it as it is.
    CentreFrame();
    framePending_ = true;
    show();
    CentreOnceFramed();
    QTimer::singleShot(kFrameWait, this, [this] { framePending_ = false; });
    activateWindow();
}

void QtForm::CentreOnceFramed() {
    if (!framePending_ || frameGeometry().size() == size()) return;
    framePending_ = false;
    CentreFrame();
}

void QtForm::CentreFrame() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QSize frame = frameGeometry().size();
    const QRect whole = screen->geometry();
    const QRect available = screen->availableGeometry();
    QPoint topLeft = whole.topLeft() +
                     QPoint((whole.width() - frame.width()) / 2, (whole.height() - frame.height()) / 2);
    // Keep the title bar on the screen when the window is taller than it.
    topLeft.setX(std::max(topLeft.x(), available.left()));
    topLeft.setY(std::max(topLeft.y(), available.top()));
    move(topLeft);  // places the frame
}

void QtForm::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    CentreOnceFramed();
}

Text QtForm::GetText(ControlId control) {
    QWidget* widget = Widget(control);
    if (auto* box = qobject_cast<QLineEdit*>(widget)) return FromQString(box->text());
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) return FromQString(box->toPlainText());
    if (auto* label = qobject_cast<QLabel*>(widget)) return FromQString(label->text());
    if (auto* button = qobject_cast<QPushButton*>(widget)) return FromQString(button->text());
    return {};
}

void QtForm::SetText(ControlId control, const Text& text) {
    const QString wanted = ToQString(text);
    QWidget* widget = Widget(control);
    if (auto* box = qobject_cast<QLineEdit*>(widget)) {
        // textChanged raises Change at once, and only for a different text.
        if (box->text() != wanted) box->setText(wanted);
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) {
        if (box->toPlainText() != wanted) box->setPlainText(wanted);
    } else if (qobject_cast<QLabel*>(widget)) {
        SetCaption(control, text);
    }
}

void QtForm::SetCaption(ControlId control, const Text& caption) {
    if (auto* label = qobject_cast<QLabel*>(Widget(control)))
        label->setText(ToQString(LabelCaption(caption)));
}

void QtForm::ShowMessage(const QString& text, const QString& title, int style) {
    // Over the window once it is shown; before that centred on the screen.
    QMessageBox box(IconOfStyle(style), title, text, QMessageBox::Ok, isVisible() ? this : nullptr);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    // Give the keyboard back to the window, as Windows does for a box's owner;
    // without a window manager nothing else would.
    if (isVisible()) activateWindow();
}

void QtForm::MsgBox(const Text& prompt) { ShowMessage(MessageText(prompt), ToQString(kAppTitle), 0); }

void QtForm::MsgBoxStyled(const Text& prompt, const Text& title, int style) {
    ShowMessage(MessageText(prompt), ToQString(title), style);
}

void QtForm::DoEvents() { QCoreApplication::processEvents(); }

void QtForm::Unload() { close(); }

void QtForm::paintEvent(QPaintEvent*) {
    // The rules lie beneath every control, as painted lines of the window.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    for (const ControlSpec& design : kControls) {
        if (design.kind != ControlKind::Line) continue;
        painter.drawLine(scale_.Pixels(design.x1), scale_.Pixels(design.y1), scale_.Pixels(design.x2),
                         scale_.Pixels(design.y2));
    }
}

void QtForm::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

}  // namespace pw::qt
