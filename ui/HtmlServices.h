#pragma once

// Connects the HTML view to the program: pages come from the resource libraries in the
// program folder, and ordinary links open with the desktop's opener.
void InstallHtmlServices();
