// Leaves the page as the picker found it when the sidebar lets go of it: picking ends and the marks
// of the first ten ids and every tint go.
(function () {
    window.__pkPickerActive = false;
    if (typeof window.__pkPickerStop === 'function') window.__pkPickerStop();
    for (var i = 0; i < 10; i++) {
        var m = document.querySelector('[data-pk-pick-' + i + ']');
        if (m) m.removeAttribute('data-pk-pick-' + i);
    }
    document.querySelectorAll('*').forEach(function (e) {
        e.style.outline = '';
        e.style.outlineOffset = '';
        e.style.boxShadow = '';
    });
})
