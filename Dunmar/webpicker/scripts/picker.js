// Lets the user pick one element: an overlay follows the pointer, the click is kept from the page and
// the element is recorded for the sidebar's poll.
(function () {
    if (window.__pkPickerActive === true) return 'already_active';
    window.__pkPickerActive = true;
    window.__pkPickedHTML = null;

    var root = document.documentElement;
    var style = document.createElement('style');
    style.id = '__pk_picker_style';
    style.textContent = '* { cursor: crosshair !important; }';
    document.head.appendChild(style);
    var overlay = document.createElement('div');
    overlay.id = '__pk_pick_ov';
    overlay.style.cssText = 'position:fixed;pointer-events:none;z-index:2147483647;display:none;border-radius:2px;';
    root.appendChild(overlay);

    var colors = ['rgba(255,107,107,0.28)', 'rgba(78,205,196,0.28)', 'rgba(69,183,209,0.28)',
                  'rgba(150,206,180,0.28)', 'rgba(221,160,221,0.28)', 'rgba(247,220,111,0.28)',
                  'rgba(255,159,127,0.28)', 'rgba(135,206,235,0.28)', 'rgba(187,143,206,0.28)',
                  'rgba(130,224,170,0.28)'];
    var last = null;

    function sameTagSiblings(e) {
        var parent = e.parentElement;
        if (!parent) return [e];
        return Array.prototype.filter.call(parent.children, function (c) { return c.tagName === e.tagName; });
    }

    // The page's own escaping keeps ids that start with a digit or hold line breaks valid.
    function cssPath(e) {
        if (e.id) return '#' + CSS.escape(e.id);
        var segments = [];
        while (e && e.nodeType === 1 && e !== document.body) {
            var seg = e.tagName.toLowerCase();
            if (e.parentElement && sameTagSiblings(e).length > 1)
                seg += ':nth-child(' + (Array.prototype.indexOf.call(e.parentElement.children, e) + 1) + ')';
            if (e.classList && e.classList.length)
                seg += '.' + Array.prototype.slice.call(e.classList, 0, 2).map(CSS.escape).join('.');
            if (e.id) {
                segments.unshift('#' + CSS.escape(e.id));
                break;
            }
            segments.unshift(seg);
            e = e.parentElement;
        }
        return segments.join(' > ');
    }

    // All the way to the document, so that the path selects the element in an HTML document.
    function xpath(e) {
        var steps = [];
        while (e && e.nodeType === 1) {
            var i = sameTagSiblings(e).indexOf(e) + 1;
            steps.unshift(e.tagName.toLowerCase() + (i > 1 ? '[' + i + ']' : ''));
            e = e.parentNode;
        }
        return '/' + steps.join('/');
    }

    // At most 500 UTF-16 units, never half a surrogate pair.
    function visibleText(e) {
        var text = (typeof e.innerText === 'string' ? e.innerText : '').trim();
        if (text.length > 500) {
            text = text.slice(0, 500);
            var last = text.charCodeAt(499);
            if (last >= 0xD800 && last <= 0xDBFF) text = text.slice(0, 499);
        }
        return text;
    }

    function onLeave() { overlay.style.display = 'none'; }
    function onOver(ev) {
        if (window.__pkPickerActive !== true || ev.target === overlay || ev.target === last) return;
        last = ev.target;
        var r = last.getBoundingClientRect();
        overlay.style.left = r.left + 'px';
        overlay.style.top = r.top + 'px';
        overlay.style.width = r.width + 'px';
        overlay.style.height = r.height + 'px';
        overlay.style.background = colors[Math.floor(Math.random() * 10)];
        overlay.style.display = 'block';
    }
    function onOut(ev) {
        if (ev.target !== last) return;
        last = null;
        overlay.style.display = 'none';
    }
    function onClick(ev) {
        ev.preventDefault();
        ev.stopPropagation();
        ev.stopImmediatePropagation();
        stop();
        var old = document.querySelector('[data-pk-picked]');
        if (old) old.removeAttribute('data-pk-picked');
        var target = ev.target;
        // The markup as the page has it, without the picker's own mark.
        window.__pkPickedHTML = target.outerHTML;
        target.setAttribute('data-pk-picked', '1');
        window.__pkPickedMeta = JSON.stringify({selector: cssPath(target), innerText: visibleText(target),
                                                xpath: xpath(target)});
        window.__pkPickerActive = false;
    }
    // Undoes everything the picker put into the page; the reset, clear-all and clean-up scripts call
    // it too, so that no handler outlives the picking it was for.
    function stop() {
        document.removeEventListener('mouseover', onOver, true);
        document.removeEventListener('mouseout', onOut, true);
        document.removeEventListener('click', onClick, true);
        root.removeEventListener('mouseleave', onLeave);
        if (overlay.parentNode) overlay.parentNode.removeChild(overlay);
        var s = document.getElementById('__pk_picker_style');
        if (s) s.remove();
        if (window.__pkPickerStop === stop) window.__pkPickerStop = null;
    }
    window.__pkPickerStop = stop;
    root.addEventListener('mouseleave', onLeave);
    document.addEventListener('mouseover', onOver, true);
    document.addEventListener('mouseout', onOut, true);
    document.addEventListener('click', onClick, true);
    return 'started';
})
