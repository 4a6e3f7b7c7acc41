(function (id) {
    var e = document.querySelector('[data-pk-pick-' + id + ']');
    if (e) e.removeAttribute('data-pk-pick-' + id);
})
