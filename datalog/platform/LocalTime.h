// The local date and time, as recorded in a datalog header.
//
// Thread contract: callable from any thread (uses the reentrant C library calls).
#pragma once

#include "datalog/XdlFormat.h"

XdlTimeStamp LocalTimeNow();
