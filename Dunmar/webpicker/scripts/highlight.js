// Tints pick `id` (or, when its mark is gone, the first match of its selector) in the pick's colour.
(function (id, selector, hex) {
    var el = document.querySelector('[data-pk-pick-' + id + ']');
    if (!el && selector) {
        try { el = document.querySelector(selector); } catch (e) {}
    }
    if (!el) return;
    var r = parseInt(hex.substr(1, 2), 16), g = parseInt(hex.substr(3, 2), 16), b = parseInt(hex.substr(5, 2), 16);
    el.style.boxShadow = 'inset 0 0 0 9999px rgba(' + r + ',' + g + ',' + b + ',0.22)';
    el.scrollIntoView({behavior: 'smooth', block: 'nearest'});
})
