// Registry.pol read as the operations an import applies: the instructions among
// the value names, the refusals, and what a broken file is refused with. Samba's
// reader and writer check the byte layout (tests/cli/pol-against-samba.py).
#include "registry/PolFile.h"

#include <gtest/gtest.h>

namespace pw::polfile {
namespace {

using regfile::Operation;

std::string Wide(TextView text) {
    std::string out;
    for (char16_t c : text) out += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return out;
}
std::string Sz(TextView text) { return Wide(text) + std::string(2, '\0'); }
std::string Num(Dword value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}
std::string Record(TextView key, TextView name, Dword type, const std::string& data) {
    return Wide(u"[") + Sz(key) + Wide(u";") + Sz(name) + Wide(u";") + Num(type) + Wide(u";") +
           Num(static_cast<Dword>(data.size())) + Wide(u";") + data + Wide(u"]");
}
const std::string kHeader = "PReg" + Num(1);

// The operations, one a line ("create K@8": the record at byte 8 creates K), or the refusal.
std::string Describe(const regfile::ParseResult& parsed) {
    if (!parsed.ok()) {
        return "refused at " + std::to_string(parsed.errorLine) + ": " + ToUtf8(parsed.error) +
               (parsed.operations.empty() ? "" : " (with operations)");
    }
    std::string out;
    for (const Operation& op : parsed.operations) {
        const std::string key = ToUtf8(op.key.substr(op.key.find(u'\\') + 1));
        const std::string name = ToUtf8(op.value.name);
        const char* const kinds[] = {"create ", "delete key ", "set ", "delete "};
        out += kinds[static_cast<int>(op.kind)] + key;
        if (op.kind >= Operation::Kind::SetValue) out += ":" + name;
        out += "@" + std::to_string(op.line) + "\n";
    }
    return out;
}

TEST(PolFile, InstructionsAmongTheNamesAreReadOrRefusedWithTheRecordsReason) {
    const std::string list = Sz(u"a;;b c;");
    const struct {
        const char16_t* name;
        Dword type;
        std::string data;
        const char* reads;  // after "create K@8\nset K:v@8\n" from the record before it
    } cases[] = {
        {u"v2", regtype::Sz, Sz(u"x"), "set K:v2@40\n"},
        {u"", regtype::None, "", ""},  // creates K, as the record before did
        {u"", regtype::Dword_, Num(7), "set K:@40\n"},
        {u"**del.v", regtype::Sz, Sz(u""), "delete K:v@40\n"},
        {u"**DEL.Mixed Case", regtype::None, "", "delete K:Mixed Case@40\n"},
        {u"**DeleteValues", regtype::Sz, list, "delete K:a@40\ndelete K:b c@40\n"},
        {u"**deletekeys ", regtype::Sz, list, "delete key K\\a@40\ndelete key K\\b c@40\n"},
        {u"**DeleteKeys", regtype::Sz, Sz(u"a\\"), "refused at 40: the key \"K\\a\\\" has an empty part"},
        {u"**DeleteKeys", regtype::Dword_, Num(1),
         "refused at 40: the list of \"**DeleteKeys\" must be text"},
        {u"**delvals.", regtype::Sz, Sz(u""), "refused at 40: \"**delvals.\" deletes every value"},
        {u"**DelVals", regtype::Sz, "", "refused at 40: \"**DelVals\" deletes every value"},
        {u"**soft.v", regtype::Sz, Sz(u"x"), "refused at 40: \"**soft.v\" sets a value only where"},
        {u"**SecureKey", regtype::Dword_, Num(1), "refused at 40: \"**SecureKey\" sets who may change"},
        {u"**Comment:x", regtype::Sz, "", "refused at 40: \"**Comment:x\" is an instruction"},
    };
    const std::string first = Record(u"K", u"v", regtype::Sz, Sz(u"1"));
    ASSERT_EQ(kHeader.size() + first.size(), 40u);
    for (const auto& c : cases) {
        const std::string got = Describe(Parse(kHeader + first + Record(u"K", c.name, c.type, c.data)));
        const std::string reads = c.reads;
        if (reads.rfind("refused", 0) == 0) {
            EXPECT_EQ(got.substr(0, reads.size()), reads) << got;
        } else {
            EXPECT_EQ(got, "create K@8\nset K:v@8\n" + reads) << ToUtf8(c.name);
        }
    }
}

TEST(PolFile, ABrokenFileIsRefusedWholeWithTheByteOffset) {
    const std::string ok = Record(u"K", u"v", regtype::Dword_, Num(1));  // 32 bytes
    const struct {
        std::string bytes;
        const char* refusal;
    } cases[] = {
        {"", "refused at 0: the file does not begin with the signature \"PReg\""},
        {"PReg\1\0", "refused at 4: the file ends inside the version"},
        {"PReg" + Num(2), "refused at 4: the file's version is 2, not 1"},
        {kHeader + ok + Wide(u"x"), "refused at 40: expected '[' to open a record"},
        {kHeader + Wide(u"[K"), "refused at 12: the file ends inside a key name"},
        {kHeader + Record(u"", u"v", 1, ""), "refused at 10: the record names no key"},
        {kHeader + Record(u"A\\\\B", u"v", 1, ""), "refused at 10: the key \"A\\\\B\" has an empty part"},
        {kHeader + Wide(u"[K") + Sz(u"") + Wide(u":"), "refused at 14: expected ';' after the key name"},
        {kHeader + ok.substr(0, 30), "refused at 38: the file ends where ']' belongs"},
        {kHeader + ok.substr(0, 20) + Num(5) + Wide(u";") + "ab",
         "refused at 34: the record's data of 5 bytes"},
    };
    for (const auto& c : cases) {
        const std::string got = Describe(Parse(c.bytes));
        EXPECT_EQ(got.substr(0, std::string(c.refusal).size()), c.refusal) << got;
    }
}

}  // namespace
}  // namespace pw::polfile
