// The element picked last with what the picker learnt of it, as JSON text; null while none waits.
(function () {
    if (window.__pkPickedHTML === undefined || window.__pkPickedHTML === null) return null;
    var meta = {};
    try {
        if (window.__pkPickedMeta) meta = JSON.parse(window.__pkPickedMeta);
    } catch (e) {}
    return JSON.stringify({html: window.__pkPickedHTML, meta: meta});
})
