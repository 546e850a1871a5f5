// The whole program over a temporary prefix, driven by key events as a person
// would drive it.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "platform/posix/Prefix.h"
#include "registry/sqlite/SqliteRegistryApi.h"
#include "ui/qt/PortwrightProgram.h"
#include "tools/DemoStore.h"

#include "MessageBoxWatcher.h"

using pw::ControlId;
using QtFormRef = pw::qt::QtForm&;

namespace {

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(prefix_.isValid());
        // Anything that asks for the prefix finds the temporary one.
        qputenv("PORTWRIGHT_PREFIX", prefix_.path().toUtf8());
    }
    void TearDown() override { qunsetenv("PORTWRIGHT_PREFIX"); }

    void Start(const pw::DemoServer& server) {
        {
            pw::SqliteRegistryApi store(StorePath());
            pw::SeedDemoStore(store, server);
        }
        program_ = std::make_unique<pw::qt::PortwrightProgram>(prefix_.path().toStdString());
        watcher_ = std::make_unique<MessageBoxWatcher>(&program_->Window());
        program_->Start();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&program_->Window()));
    }

    std::string StorePath() const { return pw::RegistryStorePath(prefix_.path().toStdString()); }
    QString Text(ControlId id) const {
        const pw::Text text = program_->Window().GetText(id);
        return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    }
    QWidget* W(ControlId id) const { return program_->Window().Widget(id); }

    // Replaces a box's text by typing, as a person who selected it all would.
    void Retype(ControlId id, const QString& text) {
        W(id)->setFocus();
        QTest::keyClick(W(id), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(W(id), text);
    }
    void PressAlt(Qt::Key key) {
        QtFormRef window = program_->Window();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(window.focusWidget() ? window.focusWidget() : &window, key, Qt::AltModifier);
    }

    std::string StoredValidPorts() {
        pw::SqliteRegistryApi store(StorePath());
        pw::RegHandle key = 0;
        EXPECT_EQ(
            store.RegCreateKeyExA(pw::RootHandle(pw::kLocalMachine32), "SOFTWARE\\Microsoft\\Rpc\\RpcProxy",
                                  0, nullptr, 0, pw::regaccess::Read, nullptr, &key, nullptr),
            pw::regerr::Success);
        char data[512] = {};
        pw::Dword size = sizeof data;
        store.RegQueryValueExA(key, "ValidPorts", nullptr, nullptr, reinterpret_cast<std::uint8_t*>(data),
                               &size);
        store.RegCloseKey(key);
        return data;
    }

    QStringList LogFiles() const {
        return QDir(prefix_.path() + "/drive_c").entryList({"RPC_*.LOG"}, QDir::Files, QDir::Name);
    }

    QTemporaryDir prefix_;
    std::unique_ptr<pw::qt::PortwrightProgram> program_;
    std::unique_ptr<MessageBoxWatcher> watcher_;
};

TEST_F(SessionTest, AMissingValueIsReportedBeforeTheWindowIsShown) {
    pw::DemoServer server;
    server.validPorts.clear();
    Start(server);
    ASSERT_EQ(watcher_->Seen().size(), 1u);
    const SeenMessage& seen = watcher_->Seen().front();
    EXPECT_FALSE(seen.windowVisible);
    EXPECT_EQ(seen.title, "Portwright");
    EXPECT_FALSE(seen.hasIcon);
    EXPECT_EQ(seen.buttonCount, 1);
    EXPECT_TRUE(
        seen.text.startsWith("\"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy\\ValidPorts\" "
                             "registry value does not exist"));
    EXPECT_TRUE(seen.text.contains("\nPlease verify")) << "CR LF shown as a line break";
    EXPECT_EQ(Text(ControlId::txtCurrentReg), "");
    EXPECT_EQ(Text(ControlId::txtModified),
              "exch1:6001-6002;exch1.corp.example:6001-6002;exch1:6004;exch1.corp.example:6004");
}

TEST_F(SessionTest, ATypedSessionComposesWritesLogsRestoresAndExits) {
    Start(pw::DemoServer{});
    EXPECT_TRUE(watcher_->Seen().empty());
    EXPECT_EQ(Text(ControlId::txtCurrentReg), "EXCH1:100-5000");
    EXPECT_EQ(QApplication::focusWidget(), W(ControlId::txtExternalFQDN));

    QTest::keyClicks(W(ControlId::txtExternalFQDN), "Mail.Example.COM");
    Retype(ControlId::txtComputerName, "EXCH 2");
    Retype(ControlId::txtPort1, "6000");
    const QString composed =
        "exch2:6000-6002;exch2.corp.example:6000-6002;mail.example.com:6000-6002;"
        "exch2:6004;exch2.corp.example:6004;mail.example.com:6004";
    EXPECT_EQ(Text(ControlId::txtModified), composed);
    EXPECT_EQ(Text(ControlId::lblComputernameFQDN), "exch2.corp.example");

    // A bad port is refused with its message; the value keeps its last good text.
    W(ControlId::txtPort2)->setFocus();
    QTest::keyClick(W(ControlId::txtPort2), Qt::Key_End);
    QTest::keyClicks(W(ControlId::txtPort2), "x");
    ASSERT_EQ(watcher_->Seen().size(), 1u);
    EXPECT_EQ(watcher_->Seen().back().text, "Port values must be a number.");
    EXPECT_TRUE(watcher_->Seen().back().windowVisible);
    EXPECT_EQ(Text(ControlId::txtPort2), "6002x");
    EXPECT_EQ(Text(ControlId::txtModified), composed);
    QTest::keyClick(W(ControlId::txtPort2), Qt::Key_Backspace);
    watcher_->Clear();

    // Set: the store, the read-back, the log and its confirmation.
    PressAlt(Qt::Key_S);
    QTRY_COMPARE_WITH_TIMEOUT(watcher_->Seen().size(), std::size_t{1}, 3000);
    EXPECT_EQ(StoredValidPorts(), composed.toStdString());
    EXPECT_EQ(Text(ControlId::txtCurrentReg), composed);
    const QStringList logs = LogFiles();
    ASSERT_EQ(logs.size(), 1);
    EXPECT_TRUE(
        watcher_->Seen().back().text.startsWith("Registry entry and log created.\n\nLOGPATH: C:\\RPC_"));
    EXPECT_TRUE(watcher_->Seen().back().text.endsWith(logs.front()));
    QFile log(prefix_.path() + "/drive_c/" + logs.front());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray content = log.readAll();
    EXPECT_TRUE(content.contains("PREVIOUS SETTING=EXCH1:100-5000\r\n"));
    EXPECT_TRUE(content.contains("NEW SETTING=" + composed.toUtf8() + "\r\n"));

    // Default writes the host name read at start, whatever was typed since.
    watcher_->Clear();
    PressAlt(Qt::Key_D);
    QTRY_COMPARE_WITH_TIMEOUT(watcher_->Seen().size(), std::size_t{1}, 3000);
    EXPECT_EQ(StoredValidPorts(), "exch1:100-5000");
    EXPECT_EQ(Text(ControlId::txtCurrentReg), "exch1:100-5000");
    EXPECT_EQ(Text(ControlId::txtModified), composed);

    bool closed = false;
    QObject::connect(&program_->Window(), &pw::qt::QtForm::closed, [&closed] { closed = true; });
    PressAlt(Qt::Key_X);
    QTRY_VERIFY_WITH_TIMEOUT(closed, 2000);
    EXPECT_FALSE(program_->Window().isVisible());
    EXPECT_EQ(watcher_->Seen().size(), 1u) << "Exit asks nothing";
}

}  // namespace
