// Forgets the element picked last and ends a picker still waiting for its click, listeners included,
// so that a new picker never stacks a second set of handlers on the page.
(function () {
    var picked = document.querySelector('[data-pk-picked]');
    if (picked) picked.removeAttribute('data-pk-picked');
    if (typeof window.__pkPickerStop === 'function') window.__pkPickerStop();
    window.__pkPickedHTML = null;
    window.__pkPickerActive = false;
})
