#include "app/MessageBoxCaption.h"

std::u16string MessageBoxCaption = u"Zendrik2";

void AdoptMessageBoxCaptionForMode(bool interactive)
{
    if (interactive)
        MessageBoxCaption = u"Zendrik";
}
