// Runs the scope object of murlo.h (DB_SCOPE, DB_SCOPEW) in the way its
// argument names, then sends "after" at the depth the scopes left. The #line
// directives fix the file and line that the records carry.
#include <cstring>

#include "client/murlo.h"

namespace {

int Parse(const char* text) {
#line 100 "scope.cpp"
    DB_SCOPE("Parse");
    if (!text) return -1;
    DB_STRING(text);
    return 0;
}

void Nested() {
#line 200 "nested.cpp"
    DB_SCOPE("Outer");
    {
        DB_SCOPE("Inner");
        DB_STRING("deepest\n");
    }
    DB_STRING("middle\n");
}

void Wide(bool early) {
#line 300 "wide.cpp"
    DB_SCOPEW(L"Wide");
    if (early) return;
    DB_STRINGW(L"wide inside\n");
}

}  // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "";
    if (!strcmp(mode, "early")) {
        Parse(nullptr);
    } else if (!strcmp(mode, "full")) {
        Parse("parsed\n");
    } else if (!strcmp(mode, "nested")) {
        Nested();
    } else if (!strcmp(mode, "wide")) {
        Wide(true);
        Wide(false);
    } else {
        return 2;
    }
#line 400 "after.cpp"
    DB_STRING("after\n");
    return 0;
}
