// Ends picking and clears the outlines and tints the picker drew; the marks stay.
(function () {
    window.__pkPickerActive = false;
    if (typeof window.__pkPickerStop === 'function') window.__pkPickerStop();
    var s = document.getElementById('__pk_picker_style');
    if (s) s.remove();
    document.querySelectorAll('*').forEach(function (e) {
        e.style.outline = '';
        e.style.outlineOffset = '';
        e.style.boxShadow = '';
    });
})
