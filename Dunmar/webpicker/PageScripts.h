#pragma once

#include <QString>

// Scripts the picker runs in the page.
namespace pagescripts {

// Ends picking and removes the pick markers (ids 0 to 9) and the outlines the picker drew.
inline QString cleanupScript() {
    return QStringLiteral(
        "window.__pkPickerActive=false;"
        "for(var i=0;i<10;i++){var m=document.querySelector('[data-pk-pick-'+i+']');"
        "if(m)m.removeAttribute('data-pk-pick-'+i);}"
        "document.querySelectorAll('*').forEach(function(e){e.style.outline='';e.style.outlineOffset='';"
        "e.style.boxShadow='';});void 0;");
}

} // namespace pagescripts
