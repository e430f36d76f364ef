// Ids of the folder test's dialog resources.
#define IDD_OPTIONS 300
#define IDD_PAGE_VIEW 301
#define IDD_PAGE_EDIT 302
#define ID_TABS 310
#define ID_GRID 311
#define ID_RULER 312
#define ID_AUTOSAVE 313
