// Compiled, never run (tests/package/header_check.sh): the C checks as C++,
// and the scope objects: several on one line, nested on one line (which
// -Wshadow reports when their names repeat), narrow and wide together, two
// from one macro, and a name used only in a scope.
#include "header_check.c"

#define TWO_SCOPES(name) \
    DB_SCOPE(name);      \
    DB_SCOPE(name)

void ScopesOnOneLine(const char* name, const wchar_t* wideName) {
    DB_SCOPE("first"); DB_SCOPE("second");
    DB_SCOPE("narrow"); DB_SCOPEW(L"wide");
    { DB_SCOPE("outer"); { DB_SCOPE("inner"); } }
    TWO_SCOPES("twice");
    DB_SCOPE(name);
    DB_SCOPEW(wideName);
}
