#pragma once

// Whether a message that is used as a printf format takes exactly the one
// string argument its callers pass: exactly one "%s", no other conversion, no
// flags or width, "%%" allowed. A translated format that fails this must not
// reach printf, which would read arguments that were never passed.
bool IsSingleStringFormat(const char* text);
