#include "core/RestorePlan.h"

#include "core/ValidPortsWrite.h"

namespace pw {
namespace {

Text Quoted(TextView text) { return u"\"" + Text(text) + u"\""; }

}  // namespace

RestorePlan PlanRestore(const ChangeLogSettings& log, bool force, const Text& logName) {
    RestorePlan plan;
    // A log whose PREVIOUS SETTING is empty wrote a value that did not exist.
    if (!log.previousSetting.empty()) plan.value = log.previousSetting;
    // The log shows "?" for a character it could not hold; writing it back puts
    // "?" where the original was, so only --force does.
    const bool masked = log.previousSetting.find(u'?') != Text::npos;
    if (masked && !force) {
        plan.refusal =
            Quoted(logName) +
            u" is not restored: its PREVIOUS SETTING holds \"?\", which a change log writes for a "
            u"character it cannot hold (a control character, or one outside the ANSI code page), so the "
            u"value before that write may have held another character there. Nothing was written; --force "
            u"restores it as the log has it.";
        return plan;
    }
    const Text refusal = plan.value ? WriteRefusal(*plan.value) : Text();
    if (!refusal.empty()) {
        plan.refusal = Quoted(logName) + u" is not restored: " + refusal;
        return plan;
    }
    if (masked) {
        plan.caution =
            u"The log's PREVIOUS SETTING is restored as the log has it: each \"?\" in it may have been "
            u"another character, which the log masked.";
    }
    return plan;
}

Text ChangedSinceLog(const ChangeLogSettings& log, const StoredValue& stored) {
    if (stored.state == StoredValue::State::Unreadable) {
        return u"ValidPorts could not be read (" + stored.reason +
               u"), so it cannot be compared with the log's NEW SETTING. Nothing was written; "
               u"--force restores without comparing.";
    }
    if (stored.text == log.newSetting) return {};
    const Text now = stored.state == StoredValue::State::Present ? u"it holds now " + Quoted(stored.text)
                                                                 : Text(u"it does not exist now");
    const Text then = log.newSetting.empty() ? Text(u"is empty (the value was deleted)")
                                             : u"is " + Quoted(log.newSetting);
    return u"ValidPorts has changed since that log was written: " + now + u", and the log's NEW SETTING " +
           then + u". Nothing was written; --force restores the log's PREVIOUS SETTING anyway.";
}

}  // namespace pw
