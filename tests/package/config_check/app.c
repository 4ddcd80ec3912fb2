/* The program of the find_package-inside-a-function check: built, never run. */
#include <murlo.h>

int main(void)
{
    DB_STRING("app\n");
    return 0;
}
