#pragma once
// How a label of the control table shows its designed caption; both front
// ends follow these rules.
#include "text/Text.h"

namespace pw {

// Labels take no access key: their captions show as a button's would, with
// no letter underlined.
Text LabelCaption(TextView designed);

// A caption of two parts set apart by a long run of spaces ("Ports:", 53
// spaces, "Store (Default=6001)") is drawn with its first part at the label's
// left edge and its second at the right edge, whatever a space measures in the
// font at hand. Returns false, leaving both empty, for any other caption.
bool SplitSpreadCaption(TextView caption, Text& left, Text& right);

}  // namespace pw
