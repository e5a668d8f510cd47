#pragma once

#include <QString>

class QDialog;

// Opens a new discussion window on the address, modal, and returns when the user has
// closed it; the window is released then. The browser engine is loaded with the first
// window. Blanks around the address are ignored. An address that is not an http or https
// address raises an error and shows no window. A browser engine that cannot start (its
// module missing, or refusing to run as root) is told in the window instead of the page;
// nothing else of the program is touched.
void ShowBrowserWindow(const QString& address);

// The window most recently opened, while it is open; null otherwise.
QDialog* CurrentBrowserWindow();
