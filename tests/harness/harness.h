// The Windows-side test harness in one include.
#pragma once

#include "harness/common.h"
#include "harness/hook_recorder.h"
#include "harness/process.h"
#include "harness/remote_window.h"
#include "harness/scratch_dir.h"
#include "harness/system_state.h"
#include "harness/target_app.h"
