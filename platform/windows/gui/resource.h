// Resource identifiers shared by the program and its resource script.
#pragma once

#define VELTRANO_ICON 1
