// Ids of the sample's dialog resource.
#define IDD_SETTINGS 100
#define ID_GREETING 201
#define ID_SOUND 202
#define ID_FRAME 203
#define ID_RED 204
#define ID_GREEN 205
#define ID_BLUE 206
