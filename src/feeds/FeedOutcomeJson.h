#pragma once
// One feed's outcome as one line of JSON, for `quorvane-feed --status`.
#include <string>

#include "feeds/FeedOutcome.h"

namespace quorvane {

// {"url":...,"state":"ok"|"failed"|"not tried","headlines":N,
//  "lastSuccess":"YYYY-MM-DDTHH:MM:SSZ"|null,"finalUrl":...,"feedTitle":...,
//  "reason":...,"http":N,"etag":...,"lastModified":...} in UTF-8, without a
// line end; "http" is the last answer's status (0 for none), the validators
// are those received with the headlines kept, empty when none came.
std::string FeedOutcomeJson(const FeedOutcome& outcome);

}  // namespace quorvane
