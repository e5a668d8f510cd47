#pragma once

#include <QString>

class QDialog;

// Opens a new discussion window on the address, modal, and returns when the user has
// closed it; the window is released then. The browser engine is loaded with the first
// window. Blanks around the address are ignored. An address that is not an http or https
// address, or a browser module that cannot be loaded, raises an error and shows no window.
void ShowBrowserWindow(const QString& address);

// The window most recently opened, while it is open; null otherwise.
QDialog* CurrentBrowserWindow();
