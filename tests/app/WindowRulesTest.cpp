// The window rules both front ends share: pixels, access keys, tab order and
// event delivery.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "app/AccessKeys.h"
#include "app/TabOrder.h"
#include "app/TwipsToPixels.h"
#include "tests/app/ScriptedForm.h"

namespace pw {
namespace {

TEST(WindowRules, TwipsBecomePixelsAtEachDensity) {
    struct Case {
        int dpi;
        int clientWidth, clientHeight;
        PixelRect setReg, portsLabel;  // cmdSetReg; Label6, whose edges fall near halves
        int smallFont, largeFont;      // 9.75 and 12 points
    } cases[] = {
        {96, 550, 712, {267, 564, 244, 28}, {33, 165, 421, 22}, 13, 16},
        {120, 688, 890, {334, 705, 305, 35}, {41, 206, 527, 28}, 16, 20},
        {144, 825, 1068, {401, 846, 366, 42}, {50, 248, 631, 33}, 20, 24},
        {168, 963, 1246, {467, 987, 427, 49}, {58, 289, 737, 38}, 23, 28},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(TwipsToPixels(kFormSpec.clientWidth, c.dpi), c.clientWidth);
        EXPECT_EQ(TwipsToPixels(kFormSpec.clientHeight, c.dpi), c.clientHeight);
        EXPECT_EQ(ControlPixels(Control(ControlId::cmdSetReg), c.dpi), c.setReg);
        EXPECT_EQ(ControlPixels(Control(ControlId::Label6), c.dpi), c.portsLabel);
        EXPECT_EQ(FontPixelHeight(9.75, c.dpi), c.smallFont);
        EXPECT_EQ(FontPixelHeight(12, c.dpi), c.largeFont);
        // The boxes and buttons that end at 7665 twips end together in pixels
        // (rounded widths would leave the port boxes a pixel longer at 168 dpi).
        for (const ControlSpec& design : kControls) {
            if (design.kind == ControlKind::Line || design.left + design.width != 7665) continue;
            const PixelRect rect = ControlPixels(design, c.dpi);
            EXPECT_EQ(rect.left + rect.width, TwipsToPixels(7665, c.dpi)) << design.name;
        }
    }
    EXPECT_EQ(TwipsToPixels(585, 120), 49);  // 48.75
    EXPECT_EQ(TwipsToPixels(7, 96), 0);
    EXPECT_EQ(TwipsToPixels(8, 96), 1);  // a half rounds away from zero
    EXPECT_EQ(TwipsToPixels(-8, 96), -1);
    EXPECT_EQ(TwipsToPixels(3000000, 960), 2000000);
}

TEST(WindowRules, AccessKeysAreEveryMarkedLetter) {
    struct Case {
        const char16_t* designed;
        const char16_t* shown;
        std::vector<std::size_t> marked;
    } cases[] = {
        {u"&Reset &Ports To Defaults", u"Reset Ports To Defaults", {0, 6}},
        {u"E&xit", u"Exit", {1}},
        {u"a&&&b", u"a&b", {2}},
        {u"&&&&", u"&&", {}},
        {u"trailing&", u"trailing", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.designed));
        const MarkedCaption caption = ParseAccessKeys(c.designed);
        EXPECT_EQ(caption.shown, Text(c.shown));
        EXPECT_EQ(caption.marked, c.marked);
    }
    const std::pair<char16_t, ControlId> buttons[] = {{u'r', ControlId::cmdResetPorts},
                                                      {u'P', ControlId::cmdResetPorts},
                                                      {u's', ControlId::cmdSetReg},
                                                      {u'D', ControlId::cmdDefault},
                                                      {u'x', ControlId::cmdExit}};
    // The button a key of either case is an access key of.
    const auto buttonFor = [](char16_t key) -> std::optional<ControlId> {
        for (const ButtonAccessKey& access : ButtonAccessKeys()) {
            if (access.key == UpperChar(key)) return access.button;
        }
        return std::nullopt;
    };
    for (const auto& [key, button] : buttons) EXPECT_EQ(buttonFor(key), button) << char(key);
    EXPECT_EQ(buttonFor(u'e'), std::nullopt);  // a letter no caption marks
    EXPECT_EQ(buttonFor(u'&'), std::nullopt);
    int further = 0;
    for (const ButtonAccessKey& access : ButtonAccessKeys()) further += access.first ? 0 : 1;
    EXPECT_EQ(further, 1) << "only P of Reset Ports is beyond a toolkit's own mnemonic";
}

TEST(WindowRules, TabOrderWalksBoxesAndButtonsByTabIndex) {
    using C = ControlId;
    const std::vector<ControlId> expected{C::txtExternalFQDN, C::txtComputerName, C::txtInternalFQDN,
                                          C::txtPort1,        C::txtPort2,        C::txtPort3,
                                          C::cmdExit,         C::txtCurrentReg,   C::txtModified,
                                          C::cmdDefault,      C::cmdResetPorts,   C::cmdSetReg};
    EXPECT_EQ(TabStops(), expected);
    EXPECT_EQ(FirstFocus(), C::txtExternalFQDN);
    EXPECT_EQ(ControlsByTabIndex().size(), kControlCount - 5) << "every control but the five lines";
}

TEST(WindowRules, AFailingHandlerStopsAtTheForm) {
    test::ScriptedForm form;
    form.Connect([](ControlId) { throw std::runtime_error("click failed"); },
                 [](ControlId) { throw std::bad_alloc(); });
    EXPECT_NO_THROW(form.Press(ControlId::cmdSetReg));
    EXPECT_NO_THROW(form.Type(ControlId::txtPort1, u"7001"));
    std::vector<ControlId> changed;
    form.Connect([](ControlId) {}, [&changed](ControlId id) { changed.push_back(id); });
    form.Type(ControlId::txtPort1, u"7002");
    EXPECT_EQ(changed, std::vector<ControlId>{ControlId::txtPort1});
}

}  // namespace
}  // namespace pw
