// Resource identifiers, shared by corvantis.rc and the program.
#define IDI_CORVANTIS 1
#define IDB_KEEP_ON_TOP 101
#define IDB_EXIT 102
