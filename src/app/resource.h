// Resource identifiers shared by the resource script and the code.
#pragma once
#define IDI_BRIMVALE 1
#define IDI_OK 101
#define IDI_CANCEL 102
