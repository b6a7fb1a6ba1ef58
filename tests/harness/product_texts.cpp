// product_texts.cpp - FillText (see product_texts.h).
#include "product_texts.h"

std::string FillText(const char *format, std::initializer_list<std::string> args)
{
    std::string text = format;
    size_t at = 0;
    for (const std::string &arg : args) {
        at = text.find("%s", at);
        if (at == std::string::npos)
            break;
        text.replace(at, 2, arg);
        at += arg.size();
    }
    return text;
}
