// .reg files through the registry's tree interface, on whichever back end the
// build has: the faults of a half-applied import, each a row.
#include <gtest/gtest.h>

#include "registry/RegFile.h"
#include "registry/RegistryTree.h"
#include "registry/TreeExport.h"
#include "registry/TreePlan.h"
#include "tests/support/RegistrySandbox.h"

namespace pw::test {
namespace {

// The sandbox key's tree as one line a key: "path: name=type:bytes ...".
std::string Dump(RegistryTree& tree, const RegistrySandbox& box) {
    std::vector<regfile::Key> keys;
    Text failure;
    if (!CollectTree(tree, RootHandle(box.Root()), box.KeyPath(), keys, failure)) return ToUtf8(failure);
    std::string out;
    for (const regfile::Key& key : keys) {
        out += ToUtf8(key.path.substr(key.path.find(u'\\') + 1 + box.KeyPath().size())) + ":";
        for (const regfile::Value& value : key.values) {
            out += " " + ToUtf8(value.name) + "=" + std::to_string(value.type) + ":";
            for (std::uint8_t byte : value.data) out += std::to_string(byte) + ",";
        }
        out += "\n";
    }
    return out;
}

struct Row {
    const char* fault;
    std::u16string file;     // after the header; K stands for the sandbox key
    int refusedAt;           // the plan's error line, 0: none
    int failsAt;             // the line whose write fails, 0: none
    std::string after;       // the sandbox's tree after the import
    bool storeOnly = false;  // writes beyond the sandbox key: only in the store's own temporary file
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.fault; }

// Every tree holds the value old="n", keep\deep with keep's value k="n", and
// the volatile key vol, below which only volatile keys can be made: a write
// that the check cannot foresee fails there.
const std::string kBefore = ": old=1:110,0,0,0,\n\\keep: k=1:110,0,0,0,\n\\keep\\deep:\n\\vol:\n";

const Row kRows[] = {
    {"a key made, then deleted, in one file", u"[$\\a]\n\"v\"=\"1\"\n[-$\\a]\n[$\\b]\n", 0, 0,
     ": old=1:110,0,0,0,\n\\b:\n\\keep: k=1:110,0,0,0,\n\\keep\\deep:\n\\vol:\n"},
    {"a key that may not be deleted refuses the file before any write",
     u"[$]\n\"v\"=\"1\"\n[-HKEY_LOCAL_MACHINE\\SOFTWARE]\n", 4, 0, kBefore},
    {"a key name too long refuses the file before any write",
     u"[$]\n\"v\"=\"1\"\n[$\\" + Text(256, u'x') + u"]\n", 4, 0, kBefore},
    {"a write that fails part-way puts back what it wrote",
     u"[$]\n\"old\"=\"new\"\n\"v\"=dword:2\n[$\\made]\n\"w\"=\"1\"\n[$\\vol\\x]\n", 0, 7, kBefore},
    {"text outside the code page kept as given, a deleted value's key given no class",
     u"[$\\\u041a\u043b\u044e\u0447]\n\"\u0418\u043c\u044f\"=\"\u0442\u0435\u043a\u0441\u0442 "
     u"\u20ac\"\n[$\\keep]\n\"k\"=-\n",
     0, 0,
     ": old=1:110,0,0,0,\n\\keep:\n\\keep\\deep:\n\\vol:\n\\\u041a\u043b\u044e\u0447: "
     "\u0418\u043c\u044f=1:66,4,53,4,58,4,65,4,66,4,32,0,"
     "172,32,0,0,\n"},
    {"a key directly below a root, made then deleted",
     u"[HKEY_CLASSES_ROOT\\.pwtest]\n\"a\"=\"1\"\n[-HKCR\\.pwtest]\n", 0, 0, kBefore, true},
    {"a root the store lacks refuses the file before any write", u"[$]\n\"v\"=\"1\"\n[HKEY_USERS\\x]\n", 4, 0,
     kBefore, true},
    {"a failure after a deletion puts the deleted keys back",
     u"[-$\\keep]\n[$\\keep]\n\"v\"=\"1\"\n[$\\vol\\x]\n", 0, 5, kBefore},
};

class FileFaults : public ::testing::TestWithParam<Row> {};

TEST_P(FileFaults, AreAllOrNothing) {
    const Row& row = GetParam();
    auto box = RegistrySandbox::Create();
    if (row.storeOnly && box->Backend() != "sqlite") GTEST_SKIP() << "it would write outside the sandbox key";
    RegistryTree* tree = TreeOf(box->Api());
    ASSERT_NE(tree, nullptr);
    const Text key = regfile::RootName(box->Root()) + u"\\" + box->KeyPath();
    const RegHandle root = RootHandle(box->Root());
    const regfile::Value old{u"old", regtype::Sz, regfile::WideBytes(u"n")}, k{u"k", old.type, old.data};
    const regfile::ValueView oldView = old, kView = k;
    const Text deep = box->KeyPath() + u"\\keep\\deep", keep = box->KeyPath() + u"\\keep";
    ASSERT_TRUE(tree->Apply({{TreeChange::Kind::SetValue, root, box->KeyPath(), &oldView},
                             {TreeChange::Kind::CreateKey, root, deep, nullptr},
                             {TreeChange::Kind::SetValue, root, keep, &kView}})
                    .ok);
    RegHandle vol = 0;
    ASSERT_EQ(
        box->Api().RegCreateKeyExA(RootHandle(box->Root()), ToAnsi(box->KeyPath() + u"\\vol").c_str(), 0,
                                   nullptr, kRegOptionVolatile, regaccess::AllAccess, nullptr, &vol, nullptr),
        regerr::Success);
    box->Api().RegCloseKey(vol);
    Text file = u"Windows Registry Editor Version 5.00\n";
    for (char16_t c : row.file) file += c == u'$' ? key : Text(1, c);
    const regfile::ParseResult parsed = regfile::Parse(regfile::Write({}).substr(0, 2) + [&] {
        std::string bytes;
        for (char16_t c : file) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        return bytes;
    }());
    ASSERT_TRUE(parsed.ok()) << ToUtf8(parsed.error);
    const TreePlan plan = PlanChanges(*tree, parsed.operations);
    EXPECT_EQ(plan.errorLine, row.refusedAt) << ToUtf8(plan.error);
    if (plan.ok()) {
        const ApplyOutcome outcome = tree->Apply(plan.changes);
        EXPECT_EQ(outcome.ok, row.failsAt == 0) << ToUtf8(outcome.failure);
        if (!outcome.ok) {
            EXPECT_EQ(plan.origins[outcome.failedAt].line, row.failsAt);
            EXPECT_TRUE(outcome.rollback.find(u"as it was") != Text::npos ||
                        outcome.rollback.find(u"Nothing was written") != Text::npos)
                << ToUtf8(outcome.rollback);
        }
    }
    EXPECT_EQ(Dump(*tree, *box), row.after);
    // reg.exe gives a key it makes or writes to no class; nor does an import.
    for (const char* sub : {"", "\\keep", "\\a", "\\b", "\\made"}) {
        RegHandle key = 0;
        if (box->Api().RegCreateKeyExA(root, ToAnsi(box->KeyPath() + FromUtf8(sub)).c_str(), 0, nullptr, 0,
                                       regaccess::Read, nullptr, &key, nullptr) != regerr::Success)
            continue;
        Dword classLen = 99;
        char className[16] = {};
        EXPECT_EQ(box->Api().RegQueryInfoKeyA(key, className, &classLen, nullptr, nullptr, nullptr, nullptr,
                                              nullptr, nullptr, nullptr, nullptr, nullptr),
                  regerr::Success);
        EXPECT_EQ(classLen, 0u) << sub;
        box->Api().RegCloseKey(key);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, FileFaults, ::testing::ValuesIn(kRows));

}  // namespace
}  // namespace pw::test
