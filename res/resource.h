// Numeric ids of the resources; shared by the resource script and the code,
// so plain macros only.
#pragma once

#define IDI_APP 128
#define IDI_READY 135
#define IDI_RECEIVING 136
#define IDI_OFF 137
