#include "shell/shell.h"

size_t ConvertLicenceLineEnds(const unsigned char *data, size_t size, char *out)
{
    size_t length = 0;
    for (size_t i = 0; i < size; ++i) {
        unsigned char byte = data[i];
        if (byte == '\n')
            continue;  // a CR before it already became CR LF; a lone LF joins the lines
        out[length++] = (char)byte;
        if (byte == '\r')
            out[length++] = '\n';
    }
    out[length] = '\0';
    return length;
}
