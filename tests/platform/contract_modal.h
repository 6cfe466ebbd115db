#pragma once
// What the user does to end a modal loop of the system, done from inside a
// window procedure that the loop called: answer the message box of this thread
// with No, or close its popup menu without a choice. On the simulated handheld
// the loops end by themselves once they have delivered what was waiting.

void answerOpenMessageBoxNo();
void closeOpenPopupMenu();
