#pragma once

// Shows string-table message `stringId` in a standard message box with the product name as
// caption, owned by the main window when there is one. Returns the button pressed (Yes 6, No 7).
int ShowMessage(unsigned style, unsigned stringId);
