// The grammar of the configuration's lists (folders, moves, group items, profile items): items are
// separated by ";" (a run counts as one), fields within an item by a run of tabs, and at most
// LIST_ITEM_CAPACITY characters of an item are kept.
#ifndef VELTMOOR_CONFIG_LISTS_H
#define VELTMOOR_CONFIG_LISTS_H

#include <stddef.h>

enum { LIST_ITEM_CAPACITY = 260 };

// Copies the next item (up to ";" or the end) into `item` (capacity bytes with the NUL; characters
// beyond it are dropped) and returns the position after the run of ";" that follows it.
const char *NextListItem(const char *list, char *item, size_t capacity);

// Splits `item` in place at runs of tabs into at most `maxFields` fields; the last field takes the
// rest of the item, tabs and all. Returns the number of fields (1 when the item has no tab).
int SplitItemFields(char *item, char **fields, int maxFields);

#endif
