// The element picked last becomes pick `id`.
(function (id) {
    var e = document.querySelector('[data-pk-picked]');
    if (!e) return;
    e.removeAttribute('data-pk-picked');
    e.setAttribute('data-pk-pick-' + id, '1');
})
