// Texts only the Windows test programs carry, beside the program's own table.
#pragma once

#define VK_TEST_BROKEN_FORMAT 60000   // a printf-style format the formatter refuses
#define VK_TEST_ESCAPES 60001         // the formatter's own escapes, no inserts
