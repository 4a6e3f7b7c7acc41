(function (id, selector) {
    var el = document.querySelector('[data-pk-pick-' + id + ']');
    if (!el && selector) {
        try { el = document.querySelector(selector); } catch (e) {}
    }
    if (el) el.style.boxShadow = '';
})
