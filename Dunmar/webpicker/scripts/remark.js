// Marks a restored pick again by its selector.
(function (id, selector) {
    var e = document.querySelector(selector);
    if (e) e.setAttribute('data-pk-pick-' + id, '1');
})
