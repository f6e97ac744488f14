// tolvan-box CAPTION TEXT: a message box with an OK button; exit code 0 once it is
// confirmed, 1 when it could not be shown, 2 for a wrong call.
#include <SDL_messagebox.h>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const int shown =
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, argv[1], argv[2], nullptr);
    return shown == 0 ? 0 : 1;
}
