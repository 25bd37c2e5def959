// What is left of the feed's first bodies until their own files take it over.
#include "mainwindow/Unit1.h"

void TForm1::refreshUserNameEditText() {
    updateUserNameEditText();
}
