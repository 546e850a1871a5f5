// The findings on a stored value: one row per kind of fault, and clean values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ValidPortsCheck.h"

namespace pw::test {
namespace {

std::vector<ServicePort> Services(std::int32_t store = 6001, std::int32_t referral = 6002,
                                  std::int32_t proxy = 6004) {
    const auto& settings = ServicePortSettings();
    return {{&settings[0], store, ServicePort::Source::Default, {}},
            {&settings[1], referral, ServicePort::Source::Default, {}},
            {&settings[2], proxy, ServicePort::Source::Default, {}}};
}

// "kind entry" per finding, in order.
std::vector<std::string> Summary(const std::vector<Finding>& findings) {
    std::vector<std::string> lines;
    for (const Finding& f : findings)
        lines.push_back(std::string(FindingKindName(f.kind)) + " " + ToUtf8(f.entry));
    return lines;
}

const Text kComposed = u"exch1:6001-6002;exch1.corp.example:6001-6002;exch1:6004;exch1.corp.example:6004";

struct Row {
    const char* what;
    Text value;
    std::vector<std::string> expected;
    std::vector<ServicePort> services = Services();
};

TEST(ValidPortsCheck, FindingsPerKind) {
    const std::string long16(16, 'n'), label64(64, 'l');
    const Row rows[] = {
        {"the composed value is clean", kComposed, {}},
        {"with an external name, in capitals",
         u"EXCH1:6001-6002;exch1.corp.example:6001-6002;Mail.Example.com:6001-6002;"
         u"exch1:6004;exch1.corp.example:6004;mail.example.com:6004",
         {}},
        {"empty value", u"", {"empty-value "}},
        {"empty entries at the start, middle and end",
         u";" + kComposed + u";;",
         {"empty-entry ", "empty-entry ", "empty-entry "}},
        {"malformed entries",
         kComposed + u";exch1;exch1:1:2;:6001;exch1:abc;exch1:0;exch1:65536;exch1:6005-6002;exch1:6001-",
         {"bad-entry exch1", "bad-entry exch1:1:2", "bad-entry :6001", "bad-entry exch1:abc",
          "bad-entry exch1:0", "bad-entry exch1:65536", "bad-entry exch1:6005-6002",
          "bad-entry exch1:6001-"}},
        {"duplicates, whatever the case and form",
         kComposed + u";EXCH1:6004;exch1:06004-6004",
         {"duplicate EXCH1:6004", "duplicate exch1:06004-6004"}},
        {"the Windows default",
         u"exch1:100-5000",
         {"wide-range exch1:100-5000", "port-not-admitted exch1", "port-not-admitted exch1",
          "port-not-admitted exch1", "name-missing exch1.corp.example"}},
        {"a port beside the services'", kComposed + u";exch1:6003", {"wide-range exch1:6003"}},
        {"wildcards count for the names they fit, and only those",
         u"e*h1:6001-6002;*.example:6001-6002;x*:6004;exch1.corp.example:6004",
         {"wildcard e*h1", "wildcard *.example", "wildcard x*", "port-not-admitted exch1"}},
        {"the services moved to other ports",
         kComposed,
         {"wide-range exch1:6004", "wide-range exch1.corp.example:6004", "port-not-admitted exch1",
          "port-not-admitted exch1.corp.example"},
         Services(6001, 6002, 7004)},
        {"names with characters outside letters, digits, '-' and '.'",
         kComposed + u";mail_1.example.com:6004;m\u00e9l:6004;a b:6004",
         {"bad-characters mail_1.example.com", "bad-characters m\u00e9l", "bad-characters a b"}},
        {"lengths of names and labels",
         kComposed + u";" + FromUtf8(long16) + u":6004;" + FromUtf8(label64) +
             u".example:6004;exch1..corp:6004",
         {"name-length " + long16, "name-length " + label64 + ".example", "name-length exch1..corp"}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Summary(CheckValidPorts(row.value, u"exch1", u"exch1.corp.example", row.services)),
                  row.expected)
            << row.what;
    }
}

TEST(ValidPortsCheck, MessagesNameTheCause) {
    const auto findings = CheckValidPorts(u"exch1:100-5000;exch1:6005-6002;" + Text(300, u'a') + u".b:6004",
                                          u"exch1", u"", Services());
    ASSERT_GE(findings.size(), 4u);
    EXPECT_EQ(findings[0].message,
              u"entry 'exch1:100-5000' admits 4901 ports on which none of the server's services listens "
              u"(they listen on 6001, 6002 and 6004), among them 593, the RPC endpoint mapper over HTTP");
    EXPECT_EQ(
        findings[1].message,
        u"entry 'exch1:6005-6002' is not name:port or name:low-high: its range runs backwards (6005 > 6002)");
    EXPECT_NE(findings[2].message.find(u"has 302 characters; a DNS name has at most 253"), Text::npos);
    EXPECT_EQ(
        findings.back().message,
        u"port 6004 is not admitted for 'exch1': the directory proxy (DSProxy) listens on it (the default: "
        u"Rpc/HTTP NSPI Port under HKLM\\System\\CurrentControlSet\\Services\\MSExchangeSA\\Parameters is "
        u"not set)");
}

TEST(ValidPortsCheck, UnusableServiceSettingIsAFinding) {
    auto services = Services();
    services[0].source = ServicePort::Source::Unusable;
    services[0].problem = u"is REG_SZ, not REG_DWORD";
    EXPECT_EQ(Summary(CheckValidPorts(kComposed, u"exch1", u"exch1.corp.example", services)),
              std::vector<std::string>{"service-setting Rpc/HTTP Port"});
}

}  // namespace
}  // namespace pw::test
