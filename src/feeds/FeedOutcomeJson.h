#pragma once
// One feed's outcome as one line of JSON, for `quorvane-feed --status`.
#include <string>

#include "feeds/FeedOutcome.h"

namespace quorvane {

// {"url":...,"state":"ok"|"failed"|"not tried","headlines":N,
//  "lastSuccess":"YYYY-MM-DDTHH:MM:SSZ"|null,"finalUrl":...,"feedTitle":...,
//  "reason":...} in UTF-8, without a line end.
std::string FeedOutcomeJson(const FeedOutcome& outcome);

}  // namespace quorvane
