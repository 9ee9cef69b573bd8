// Process entry and the Notes runtime's start-up and shutdown around the tool.
#ifndef ZORBEL_STARTUP_STARTUP_H
#define ZORBEL_STARTUP_STARTUP_H

int ConsoleEntry(int argc, char** argv);
int RunUnderNotes(int argc, char** argv);
void ShowStartupMessage(const char* text);

#endif
