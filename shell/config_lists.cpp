#include "shell/config_lists.h"

const char *NextListItem(const char *list, char *item, size_t capacity)
{
    size_t length = 0;
    for (; *list != '\0' && *list != ';'; ++list)
        if (length + 1 < capacity)
            item[length++] = *list;
    item[length] = '\0';
    while (*list == ';')
        ++list;
    return list;
}

int SplitItemFields(char *item, char **fields, int maxFields)
{
    int count = 0;
    char *p = item;
    fields[count++] = p;
    while (count < maxFields) {
        while (*p != '\0' && *p != '\t')
            ++p;
        if (*p == '\0')
            break;
        *p++ = '\0';
        while (*p == '\t')
            ++p;
        fields[count++] = p;
    }
    return count;
}
