// The shared text buffers and their bounded concatenation.
#include "engine.h"

#include <cstring>

char ResultsLog[LogCapacity + 1];
char RunLines[LogCapacity + 1];
std::size_t RunLinesLength;
char LineBuffer[LineBufferSize];
int resultsUnsaved;

void AppendBounded(char* dest, std::size_t& length, std::size_t capacity,
                   const char* text)
{
    std::size_t room = capacity > length ? capacity - length : 0;
    std::size_t take = 0;
    while (take < room && text[take] != '\0')
        ++take;
    std::memcpy(dest + length, text, take);
    length += take;
    dest[length] = '\0';
}

void ClearRunLines()
{
    RunLines[0] = '\0';
    RunLinesLength = 0;
}
