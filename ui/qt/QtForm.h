#pragma once
// The window built from the control table, realising the logic's Form.
#include <QWidget>
#include <array>
#include <vector>

#include "app/ControlTable.h"
#include "app/Form.h"
#include "ui/qt/LayoutScale.h"

namespace pw::qt {

class QtForm : public QWidget, public Form {
    Q_OBJECT
public:
    explicit QtForm(const LayoutScale& scale = LayoutScale::ForPrimaryScreen());

    // Shows the window with its frame centred on the screen, focus on the
    // first tab stop.
    void ShowCentred();

    // The Qt widget of a control; nullptr for lines, which are painted.
    QWidget* Widget(ControlId id) const { return widgets_[static_cast<std::size_t>(id)]; }
    // Focusable controls in tab order.
    const std::vector<QWidget*>& TabStops() const { return tabStops_; }
    const LayoutScale& Scale() const { return scale_; }

    Text GetText(ControlId control) override;
    void SetText(ControlId box, const Text& text) override;
    void SetCaption(ControlId label, const Text& caption) override;
    void MsgBox(const Text& prompt) override;
    void MsgBoxStyled(const Text& prompt, const Text& title, int style) override;
    void DoEvents() override;
    void Unload() override;

signals:
    // The window was closed, by Unload or by its close box.
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    QWidget* CreateControl(const ControlSpec& design);
    QWidget* CreateButton(const ControlSpec& design);
    QWidget* CreateTextBox(const ControlSpec& design);
    QWidget* CreateLabel(const ControlSpec& design);
    void HideCoveredLabels();
    void SetUpTabOrder();
    void UseButtonAccessKey(ControlId button);
    void CentreFrame();
    void CentreOnceFramed();
    void ShowMessage(const QString& text, const QString& title, int style);

    LayoutScale scale_;
    std::array<QWidget*, kControlCount> widgets_{};
    std::vector<QWidget*> tabStops_;
    bool framePending_ = false;
};

}  // namespace pw::qt
