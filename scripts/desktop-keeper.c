/* Keeps the Wine virtual desktop of a test display open for the whole run.
   Wine closes a desktop about a second after the last program using it has
   ended; a program starting just then finds its window classes and dialogs
   failing. A message-only window makes this process one of the desktop's
   users without showing anything on it. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show) {
  (void)previous;
  (void)command;
  (void)show;
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, instance, NULL);
  if (!window) return 1;
  MSG message;
  while (GetMessageA(&message, NULL, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
