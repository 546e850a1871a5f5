// The window alone, with a recorder in place of the logic.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QWindow>
#include <gtest/gtest.h>
#include <vector>

#include "ui/qt/QtForm.h"

using pw::ControlId;
using pw::qt::QtForm;

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        form_.Connect([this](ControlId id) { clicks_.push_back(id); },
                      [this](ControlId id) { changes_.push_back(id); });
        form_.ShowCentred();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
    }

    QWidget* W(ControlId id) const { return form_.Widget(id); }
    QLineEdit* Box(ControlId id) const { return qobject_cast<QLineEdit*>(W(id)); }
    QString Focused() const {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }

    QtForm form_{pw::qt::LayoutScale(96)};
    std::vector<ControlId> clicks_;
    std::vector<ControlId> changes_;
};

TEST_F(WindowTest, TabWalksTheTabIndicesBothWaysPassingOverLabels) {
    const QStringList forward{"txtComputerName", "txtInternalFQDN", "txtPort1",      "txtPort2",
                              "txtPort3",        "cmdExit",         "txtCurrentReg", "txtModified",
                              "cmdDefault",      "cmdResetPorts",   "cmdSetReg",     "txtExternalFQDN"};
    EXPECT_EQ(Focused(), "txtExternalFQDN") << "first focus";
    QStringList seen;
    for (int i = 0; i < forward.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen << Focused();
    }
    EXPECT_EQ(seen, forward);

    QStringList backward;
    for (int i = forward.size() - 2; i >= -1; --i) backward << (i >= 0 ? forward[i] : forward.last());
    seen.clear();
    for (int i = 0; i < forward.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        seen << Focused();
    }
    EXPECT_EQ(seen, backward);
}

TEST_F(WindowTest, AccessKeysPressTheirButtons) {
    const std::vector<std::pair<Qt::Key, ControlId>> keys{{Qt::Key_S, ControlId::cmdSetReg},
                                                          {Qt::Key_D, ControlId::cmdDefault},
                                                          {Qt::Key_X, ControlId::cmdExit},
                                                          {Qt::Key_R, ControlId::cmdResetPorts},
                                                          {Qt::Key_P, ControlId::cmdResetPorts}};
    for (const auto& [key, button] : keys) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        clicks_.clear();
        W(ControlId::txtPort2)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(clicks_.size(), std::size_t{1}, 2000);
        EXPECT_EQ(clicks_.front(), button);
        EXPECT_EQ(QApplication::focusWidget(), W(button))
            << "the focus moves to the button, then it is pressed";
    }
}

TEST_F(WindowTest, TheFrameIsCentredOnTheScreen) {
    const QRect frame = form_.frameGeometry();
    const QRect screen = form_.screen()->geometry();
    ASSERT_NE(frame.size(), form_.size()) << "Qt's offscreen windows have a frame";
    EXPECT_EQ(frame.topLeft() - screen.topLeft(),
              QPoint((screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2));
}

TEST_F(WindowTest, EnterAndEscPressNoButtonFromABoxButEnterPressesAFocusedButton) {
    for (ControlId box : {ControlId::txtExternalFQDN, ControlId::txtComputerName, ControlId::txtInternalFQDN,
                          ControlId::txtPort1, ControlId::txtPort2, ControlId::txtPort3,
                          ControlId::txtCurrentReg, ControlId::txtModified}) {
        W(box)->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(W(box), key);
        }
    }
    QTest::qWait(150);  // longer than a button's animated click
    EXPECT_TRUE(clicks_.empty());
    EXPECT_TRUE(form_.isVisible());

    W(ControlId::cmdDefault)->setFocus();
    QTest::keyClick(W(ControlId::cmdDefault), Qt::Key_Escape);
    QTest::keyClick(W(ControlId::cmdDefault), Qt::Key_Return);
    EXPECT_EQ(clicks_, std::vector<ControlId>{ControlId::cmdDefault});
    for (ControlId id :
         {ControlId::cmdSetReg, ControlId::cmdDefault, ControlId::cmdExit, ControlId::cmdResetPorts}) {
        auto* button = qobject_cast<QPushButton*>(W(id));
        EXPECT_FALSE(button->isDefault() || button->autoDefault()) << button->objectName().toStdString();
    }
}

TEST_F(WindowTest, TheCloseBoxClosesTheWindowWithoutAHandler) {
    bool closed = false;
    QObject::connect(&form_, &QtForm::closed, [&closed] { closed = true; });
    QWindow* window = form_.windowHandle();
    ASSERT_NE(window, nullptr);
    window->close();  // what the window manager asks for when the close box is clicked
    EXPECT_TRUE(closed);
    EXPECT_FALSE(form_.isVisible());
    EXPECT_TRUE(clicks_.empty());
}

TEST_F(WindowTest, PortBoxesTakeFiveTypedCharactersRightAligned) {
    for (ControlId id : {ControlId::txtPort1, ControlId::txtPort2, ControlId::txtPort3}) {
        QLineEdit* box = Box(id);
        SCOPED_TRACE(box->objectName().toStdString());
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, "1234567");
        EXPECT_EQ(box->text(), "12345");
        EXPECT_TRUE(box->alignment() & Qt::AlignRight);
    }
    QTest::keyClicks(Box(ControlId::txtComputerName), "a-name-longer-than-five");
    EXPECT_EQ(Box(ControlId::txtComputerName)->text(), "a-name-longer-than-five");
}

TEST_F(WindowTest, ValueBoxesAllowSelectAndCopyButRefuseEveryEdit) {
    const QString value = "exch1:6001-6002;exch1.corp.example:6001-6002;exch1:6004;exch1.corp.example:6004";
    for (ControlId id : {ControlId::txtCurrentReg, ControlId::txtModified}) {
        auto* box = qobject_cast<QPlainTextEdit*>(W(id));
        SCOPED_TRACE(box->objectName().toStdString());
        form_.SetText(id, pw::Text(reinterpret_cast<const char16_t*>(value.utf16()), value.size()));
        box->setFocus();
        QApplication::clipboard()->setText("pasted");
        QTest::keyClicks(box, "typed");
        for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete}) QTest::keyClick(box, key);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Delete);
        EXPECT_EQ(box->toPlainText(), value);
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text(), value);
        EXPECT_EQ(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        EXPECT_GT(box->document()->firstBlock().layout()->lineCount(), 1) << "wraps at its width";
    }
    EXPECT_TRUE(changes_.empty()) << "the value boxes have no Change";
}

TEST_F(WindowTest, ChangeFollowsEveryChangeOfABoxTextOnceAndOnlyWhenItDiffers) {
    QLineEdit* name = Box(ControlId::txtComputerName);
    name->setFocus();
    QTest::keyClicks(name, "ab");
    QTest::keyClick(name, Qt::Key_Backspace);
    QApplication::clipboard()->setText("cd");
    QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(changes_.size(), 4u);
    EXPECT_EQ(name->text(), "acd");

    changes_.clear();
    form_.SetText(ControlId::txtComputerName, u"acd");
    EXPECT_TRUE(changes_.empty()) << "same text";
    form_.SetText(ControlId::txtPort1, u"7001");
    EXPECT_EQ(changes_, std::vector<ControlId>{ControlId::txtPort1}) << "assigned text, raised at once";
    EXPECT_EQ(form_.GetText(ControlId::txtPort1), u"7001");
}

TEST_F(WindowTest, LayoutHoldsItsTwipsFontsCaptionsAndDrawingOrder) {
    EXPECT_EQ(form_.size(), QSize(550, 712));
    EXPECT_EQ(form_.minimumSize(), form_.maximumSize()) << "fixed size";
    EXPECT_FALSE(form_.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(form_.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(W(ControlId::cmdSetReg)->geometry(), QRect(267, 564, 244, 28));
    EXPECT_EQ(W(ControlId::cmdSetReg)->font().pixelSize(), 16);
    EXPECT_EQ(W(ControlId::Label9)->font().pixelSize(), 13);

    QtForm dense{pw::qt::LayoutScale(144)};
    EXPECT_EQ(dense.size(), QSize(825, 1068));
    EXPECT_EQ(dense.Widget(ControlId::cmdSetReg)->geometry(), QRect(401, 846, 366, 42));
    EXPECT_EQ(dense.Widget(ControlId::cmdSetReg)->font().pixelSize(), 24);

    EXPECT_EQ(form_.GetText(ControlId::Label2), u"Optional & Recommended:");
    EXPECT_EQ(qobject_cast<QLabel*>(W(ControlId::Label5))->palette().color(QPalette::WindowText),
              QColor(0, 0, 192));

    // Boxes and buttons above the labels they overlap; Label3 is covered but
    // for a sliver and shows nothing.
    EXPECT_FALSE(W(ControlId::Label3)->isVisible());
    const QRect proxyUnderReset = W(ControlId::lblDSProxy)->geometry() &
                                  W(ControlId::cmdResetPorts)->geometry();
    ASSERT_FALSE(proxyUnderReset.isEmpty());
    QWidget* atOverlap = form_.childAt(proxyUnderReset.center());
    EXPECT_TRUE(atOverlap == W(ControlId::cmdResetPorts) ||
                atOverlap->parentWidget() == W(ControlId::cmdResetPorts));

    // Rules: one pixel, window-text colour. Line4 runs at 9000 twips from 585 to 7650.
    const QImage picture = form_.grab().toImage();
    const QColor ink = form_.palette().color(QPalette::WindowText);
    EXPECT_EQ(picture.pixelColor(300, 600), ink);
    EXPECT_NE(picture.pixelColor(300, 599), ink);
    EXPECT_NE(picture.pixelColor(300, 601), ink);
}

}  // namespace
