#pragma once
// The frame of the command line: scan errors and message boxes go to stderr, progress
// texts too when stderr is a terminal; every call is also kept in order.

#include <memory>

#include "app/HeadlessFrame.h"

namespace orodorev::cli {

std::unique_ptr<HeadlessFrame> makeCliFrame();

// Exit codes of every command.
constexpr int kExitOk = 0;
constexpr int kExitInputUnreadable = 1;
constexpr int kExitUsage = 2;

}  // namespace orodorev::cli
