// File moves: after unpacking, some files go to their final places (the screen saver and the
// uninstaller into the Windows folder, the web pages and pictures into "html"). A move is a copy,
// a record in INSTALLD.TXT, and the deletion of the source, in that order.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "paths/paths.h"
#include "shell/config_lists.h"
#include "shell/shell.h"
#include "steps/steps.h"

enum { LIST_LINE_CAPACITY = 260 };

static void JoinPath(char *out, size_t capacity, const char *folder, const char *name)
{
    size_t length = strlen(folder);
    const char *separator = length > 0 && folder[length - 1] != '\\' ? "\\" : "";
    snprintf(out, capacity, "%s%s%s", folder, separator, name);
}

// An entry recorded exactly as the old path becomes a comment; the new path is appended.
static void RecordMove(HWND wizard, const char *oldPath, const char *newPath)
{
    FILE *list = fopen(InstalledListPath(wizard), "rt+");
    if (list == NULL)
        return;
    char line[LIST_LINE_CAPACITY];
    long start = ftell(list);
    while (fgets(line, sizeof line, list) != NULL) {
        long next = ftell(list);
        line[strcspn(line, "\n")] = '\0';
        if (line[0] != ';' && line[0] != '\0' && _stricmp(line + 1, oldPath) == 0) {
            fseek(list, start, SEEK_SET);
            fputc(';', list);
            break;
        }
        start = next;
    }
    fseek(list, 0, SEEK_END);
    fprintf(list, " %s\n", newPath);
    fclose(list);
}

static int IsOrdinaryFile(const WIN32_FIND_DATAA &found)
{
    return !(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

int MoveMatchingFiles(HWND wizard, const char *source, const char *destination)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(source, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 1;  // nothing to move is not an error

    int isPattern = strpbrk(source, "*?") != NULL;
    char drive[_MAX_DRIVE], directory[_MAX_DIR], sourceFolder[MAX_PATH];
    _splitpath(source, drive, directory, NULL, NULL);
    snprintf(sourceFolder, sizeof sourceFolder, "%s%s", drive, directory);

    int moved = 1;
    do {
        if (!IsOrdinaryFile(found) || (found.nFileSizeHigh == 0 && found.nFileSizeLow == 0))
            continue;
        char oldPath[MAX_PATH], newPath[MAX_PATH];
        if (isPattern) {
            JoinPath(oldPath, sizeof oldPath, sourceFolder, found.cFileName);
            JoinPath(newPath, sizeof newPath, destination, found.cFileName);
        } else {
            snprintf(oldPath, sizeof oldPath, "%s", source);
            snprintf(newPath, sizeof newPath, "%s", destination);
        }
        // A file that was there before the copy may belong to someone else: only what the failed
        // copy itself made is removed.
        int existed = GetFileAttributesA(newPath) != INVALID_FILE_ATTRIBUTES;
        if (!CopyFileA(oldPath, newPath, FALSE)) {
            if (!existed && newPath[0] != '\0')
                DeleteFileA(newPath);
            moved = 0;
            break;
        }
        RecordMove(wizard, oldPath, newPath);
        if (oldPath[0] != '\0')
            DeleteFileA(oldPath);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return moved;
}

int MoveFiles(HWND wizard, const char *moveList)
{
    const char *rest = moveList;
    while (*rest != '\0') {
        char item[LIST_ITEM_CAPACITY + 1];
        rest = NextListItem(rest, item, sizeof item);
        char *fields[2];
        if (SplitItemFields(item, fields, 2) < 2)
            continue;  // an item without its tab
        char source[MAX_PATH], destination[MAX_PATH];
        ExpandMacrosInto(wizard, fields[0], source, sizeof source);
        ExpandMacrosInto(wizard, fields[1], destination, sizeof destination);
        if (!MoveMatchingFiles(wizard, source, destination))
            return 0;
    }
    return 1;
}
