// A one-line summary of pick `id`'s computed style; null when the element is gone.
(function (id) {
    var el = document.querySelector('[data-pk-pick-' + id + ']');
    if (!el) return null;
    var s = getComputedStyle(el);
    var ff = s.fontFamily.split(',')[0].replace(/['"]/g, '').trim();
    var out = s.fontSize + ' ' + ff + ' | ' + s.color + ' bg:' + s.backgroundColor;
    if (s.borderRadius !== '0px') out += ' r:' + s.borderRadius;
    return out;
})
